#pragma once

#include "controls/GradientPanel.h"

#include <QList>
#include <QObject>
#include <QPointer>

// Holds one look for several gradient panels: every panel that names the styler takes its
// settings, now and whenever they change.
class TGradientPanelStyler : public QObject {
public:
    explicit TGradientPanelStyler(QObject* Parent = nullptr);

    const TGradientPanelSettings& Settings() const { return FSettings; }
    void SetSettings(const TGradientPanelSettings& Value);
    QString Comments() const { return FComments; }
    void SetComments(const QString& Value) { FComments = Value; }

    // The panel takes the styler's settings and keeps following them.
    void AddPanel(TCustomGradientPanel* Panel);
    void RemovePanel(TCustomGradientPanel* Panel);

private:
    TGradientPanelSettings FSettings;
    QString FComments;
    QList<QPointer<TCustomGradientPanel>> FPanels;
};
