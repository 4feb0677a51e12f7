#pragma once

#include <QAccessible>
#include <QString>

class QObject;
class QWidget;

// Screen readers and other assistive technology see the controls of this library through
// interfaces of their own: a glow button as a push button (a check box when check-style), an
// office radio item as a radio button inside a grouping named by its group's caption, the office
// check box with its three states, a gradient panel as a pane named by its caption.
//
// Every control calls this when it is created, so any program that uses the library is
// accessible without a call of its own, and the factory is in place before anything can ask for
// a control's interface (an interface, once made, is kept). A static registration would depend
// on the linker keeping an otherwise unreferenced object of a static library. Calling it again
// does nothing.
void InstallControlsAccessibility();

// A caption as it is to be read aloud: no mark-up tags, entities decoded, accelerator ampersands
// gone ("&&" stays one ampersand), and the two characters backslash and n, which glow buttons
// turn into a line break, read as a space.
QString AccessibleText(const QString& Caption);

// Tell assistive technology that a shown control's name or description has changed.
void RaiseAccessibleNameChanged(QObject* Control);
void RaiseAccessibleDescriptionChanged(QObject* Control);

// Remembers the pressed, checked, mixed and hot-tracked states a shown control last reported,
// and raises one state-change event with those that differ now. Enabled and focus changes Qt
// reports itself. Costs nothing while no assistive technology listens.
class TAccessibleStateWatch {
public:
    void Report(QWidget* Control);

private:
    QAccessible::State FReported;
    bool FKnown = false; // FReported holds the states since the control was last shown
};
