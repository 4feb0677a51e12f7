#pragma once

#include "controls/OfficeCaptionButton.h"

// A three-state check box with the flat office look. Only the user's actions (and the
// check-state message) raise OnClick; setting Checked or State from code does not.
class TCustomOfficeCheckBox : public TOfficeCaptionButton {
public:
    explicit TCustomOfficeCheckBox(QWidget* Parent = nullptr);
    ~TCustomOfficeCheckBox() override;

    virtual bool Checked() const { return FState == cbChecked; }
    virtual void SetChecked(bool Value);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    virtual TCheckBoxState GetState() const { return FState; }
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool TransparentChaching() const { return FTransparentCaching; }
    void SetTransparentChaching(bool Value) { if (AssignIfChanged(FTransparentCaching, Value)) update(); }

    // Advances the state as a click does; a read-only box keeps its state.
    virtual void Toggle();
    // The check-state message: 0 unchecks and 1 checks (both raise the click), 2 grays.
    void CheckStateMessage(int Value);

protected:
    QStyle::PrimitiveElement ThemedGlyph() const override { return QStyle::PE_IndicatorCheckBox; }
    QStyle::State ThemedGlyphState() const override;
    QImage GlyphBitmap(TGlyphPointerState Pointer, int Pixels) const override;
    int GlyphTop(int Side) const override;
    int GlyphBottomMargin() const override { return 0; }
    int CaptionIndent() const override;
    int CaptionTop() const override;
    QRect FocusRect(const QRect& Caption, const TCaptionResult& Size) const override;
    Qt::MouseButtons PressButtons() const override { return Qt::LeftButton; }
    void ClickedByMouse() override;
    void ClickedBySpace() override { UserClick(); }
    void ClickedByAccelerator() override;
    void CaptionChanged() override { ApplyAutoSize(); }

    void mousePressEvent(QMouseEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void changeEvent(QEvent* Event) override;

private:
    // What the user's click does: the state advances and the click is raised.
    void UserClick();
    void ApplyAutoSize();

    bool FAllowGrayed = false;
    TCheckBoxState FState = cbUnchecked;
    bool FReadOnly = false;
    bool FAutoSize = false;
};

class TOfficeCheckBox : public TCustomOfficeCheckBox {
public:
    using TCustomOfficeCheckBox::TCustomOfficeCheckBox;
};
