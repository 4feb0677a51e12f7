#pragma once

#include <QAccessible>

class QObject;
class QWidget;

// What the controls call to tell assistive technology about a change. Each call costs nothing
// while no assistive technology listens, and only a shown control is told about: a hidden one may
// still be under construction, and an interface asked for then would be made for the wrong class,
// and kept.

// Tell assistive technology that a shown control's name or description has changed.
void RaiseAccessibleNameChanged(QObject* Control);
void RaiseAccessibleDescriptionChanged(QObject* Control);

// Remembers the pressed, checked, mixed and hot-tracked states a shown control last reported,
// and raises one state-change event with those that differ now. Enabled and focus changes Qt
// reports itself.
class TAccessibleStateWatch {
public:
    void Report(QWidget* Control);

private:
    QAccessible::State FReported;
    bool FKnown = false; // FReported holds the states since the control was last shown
};
