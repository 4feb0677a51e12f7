#pragma once

#include "controls/OfficeCaptionButton.h"

class TCustomOfficeRadioGroup;

// A radio button with the flat office look: a small round glyph and a caption that may carry
// simple mark-up. Buttons of one parent with the same GroupIndex exclude each other.
class TCustomOfficeRadioButton : public TOfficeCaptionButton {
public:
    explicit TCustomOfficeRadioButton(QWidget* Parent = nullptr);
    ~TCustomOfficeRadioButton() override;

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    // While set, checking the button reports no click.
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    bool TransparentCaching() const { return FTransparentCaching; }
    void SetTransparentCaching(bool Value) { if (AssignIfChanged(FTransparentCaching, Value)) update(); }

protected:
    virtual void RaiseClick();
    // The radio group the button is an item of, if any.
    TCustomOfficeRadioGroup* RadioGroup() const;

    QStyle::PrimitiveElement ThemedGlyph() const override { return QStyle::PE_IndicatorRadioButton; }
    QStyle::State ThemedGlyphState() const override;
    QImage GlyphBitmap(TGlyphPointerState Pointer, int Pixels) const override;
    int GlyphTop(int Side) const override;
    int GlyphBottomMargin() const override;
    int CaptionIndent() const override;
    QRect FocusRect(const QRect& Caption, const TCaptionResult& Size) const override;
    Qt::MouseButtons PressButtons() const override { return Qt::AllButtons; }
    void ClickedByMouse() override;
    void ClickedBySpace() override;
    void ClickedByAccelerator() override;

    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;

private:
    void MoveFocus(int Step);
    bool GroupAllowsChange() const;

    bool FAutoCheck = false;
    bool FChecked = false;
    int FGroupIndex = 0;
    bool FClicksDisabled = false;
    bool FCheckDown = false;
};

class TOfficeRadioButton : public TCustomOfficeRadioButton {
public:
    using TCustomOfficeRadioButton::TCustomOfficeRadioButton;
};

// An item button of an office radio group, created and owned by the group.
class TOfficeGroupButton : public TOfficeRadioButton {
public:
    // Creates an item button in RadioGroup and appends it to the group's buttons.
    static TOfficeGroupButton* InternalCreate(TCustomOfficeRadioGroup* RadioGroup);
    ~TOfficeGroupButton() override;

protected:
    void RaiseClick() override;

private:
    explicit TOfficeGroupButton(TCustomOfficeRadioGroup* RadioGroup);

    TCustomOfficeRadioGroup* FGroup;
    bool FInClick = false;
};
