#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QString>

class TCustomFrameGroupBox;
class TCustomGlowButton;
class TCustomGradientPanel;
class TCustomOfficeCheckBox;
class TCustomOfficeRadioButton;
class TOfficeCaptionButton;

// Screen readers and other assistive technology see the controls of this library through
// interfaces of their own: a glow button as a push button (a check box when check-style), an
// office radio item as a radio button inside a grouping named by its group's caption, the office
// check box with its three states, a gradient panel as a pane named by its caption. Each reads its
// control's public API only.
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

class TGlowButtonAccessible : public QAccessibleWidget {
public:
    explicit TGlowButtonAccessible(TCustomGlowButton* Button);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text Kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& Name) override;
    QStringList keyBindingsForAction(const QString& Name) const override;

private:
    TCustomGlowButton* Button() const;
};

// What the office radio button and check box share: the caption as name, the pointer and press
// states, and a toggle action that does what the Space key does.
class TOfficeCaptionButtonAccessible : public QAccessibleWidget {
public:
    TOfficeCaptionButtonAccessible(TOfficeCaptionButton* Button, QAccessible::Role Role);

    QString text(QAccessible::Text Kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& Name) override;
    QStringList keyBindingsForAction(const QString& Name) const override;

protected:
    TOfficeCaptionButton* Button() const;
    virtual bool MayChange() const { return true; }
};

class TOfficeRadioButtonAccessible : public TOfficeCaptionButtonAccessible {
public:
    explicit TOfficeRadioButtonAccessible(TCustomOfficeRadioButton* Button);

    QAccessible::State state() const override;

protected:
    // A group that refuses changes keeps the Space key from selecting; so does the action.
    bool MayChange() const override;

private:
    TCustomOfficeRadioButton* Radio() const;
};

class TOfficeCheckBoxAccessible : public TOfficeCaptionButtonAccessible {
public:
    explicit TOfficeCheckBoxAccessible(TCustomOfficeCheckBox* Box);

    QAccessible::State state() const override;

private:
    TCustomOfficeCheckBox* Box() const;
};

// A framed group (an office radio group among them): a grouping named by its caption. The
// caption's check box, when shown, makes the grouping checkable.
class TFrameGroupBoxAccessible : public QAccessibleWidget {
public:
    explicit TFrameGroupBoxAccessible(TCustomFrameGroupBox* Group);

    QString text(QAccessible::Text Kind) const override;
    QAccessible::State state() const override;

private:
    TCustomFrameGroupBox* Group() const;
};

class TGradientPanelAccessible : public QAccessibleWidget {
public:
    explicit TGradientPanelAccessible(TCustomGradientPanel* Panel);

    QString text(QAccessible::Text Kind) const override;

private:
    TCustomGradientPanel* Panel() const;
};
