#include "controls/AccessibleEvents.h"

#include <QWidget>

namespace {

bool Shown(QObject* Control)
{
    return QAccessible::isActive() && Control->isWidgetType() && static_cast<QWidget*>(Control)->isVisible();
}

void RaiseEvent(QObject* Control, QAccessible::Event Kind)
{
    if (!Shown(Control))
        return;
    QAccessibleEvent event(Control, Kind);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void RaiseAccessibleNameChanged(QObject* Control)
{
    RaiseEvent(Control, QAccessible::NameChanged);
}

void RaiseAccessibleDescriptionChanged(QObject* Control)
{
    RaiseEvent(Control, QAccessible::DescriptionChanged);
}

void TAccessibleStateWatch::Report(QWidget* Control)
{
    if (!Shown(Control)) {
        FKnown = false;
        return;
    }
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Control);
    if (!accessible)
        return;
    const QAccessible::State now = accessible->state();
    if (!FKnown) {
        // What a control shows as it appears is no change.
        FReported = now;
        FKnown = true;
        return;
    }
    QAccessible::State changed;
    changed.pressed = now.pressed != FReported.pressed;
    changed.checked = now.checked != FReported.checked;
    changed.checkStateMixed = now.checkStateMixed != FReported.checkStateMixed;
    changed.hotTracked = now.hotTracked != FReported.hotTracked;
    FReported = now;
    if (!(changed.pressed || changed.checked || changed.checkStateMixed || changed.hotTracked))
        return;
    QAccessibleStateChangeEvent event(Control, changed);
    QAccessible::updateAccessibility(&event);
}
