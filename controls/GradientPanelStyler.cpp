#include "controls/GradientPanelStyler.h"

TGradientPanelStyler::TGradientPanelStyler(QObject* Parent)
    : QObject(Parent)
{
}

void TGradientPanelStyler::SetSettings(const TGradientPanelSettings& Value)
{
    FSettings = Value;
    for (const QPointer<TCustomGradientPanel>& panel : FPanels)
        if (panel)
            panel->AssignSettings(FSettings);
}

void TGradientPanelStyler::AddPanel(TCustomGradientPanel* Panel)
{
    if (!Panel)
        return;
    if (!FPanels.contains(Panel))
        FPanels.append(Panel);
    Panel->AssignSettings(FSettings);
}

void TGradientPanelStyler::RemovePanel(TCustomGradientPanel* Panel)
{
    FPanels.removeAll(Panel);
}
