#pragma once

#include "controls/CaptionRenderer.h"
#include "controls/Colors.h"
#include "controls/ControlTypes.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class TCustomOfficeRadioGroup;

// A radio button with the flat office look: a small round glyph and a caption that may carry
// simple mark-up. Buttons of one parent with the same GroupIndex exclude each other.
class TCustomOfficeRadioButton : public QWidget {
public:
    explicit TCustomOfficeRadioButton(QWidget* Parent = nullptr);
    ~TCustomOfficeRadioButton() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    // While set, checking the button reports no click.
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { SetLook(FAlignment, Value); }
    TTextLayout ButtonVertAlign() const { return FBtnVAlign; }
    void SetButtonVertAlign(TTextLayout Value) { SetLook(FBtnVAlign, Value); }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value) { SetLook(FEllipsis, Value); }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value) { SetLook(FShowFocus, Value); }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool Value) { FReturnIsTab = Value; }
    bool Themed() const { return FThemed; }
    void SetThemed(bool Value) { SetLook(FThemed, Value); }
    TColor DisabledFontColor() const { return FDisabledFontColor; }
    void SetDisabledFontColor(TColor Value) { SetLook(FDisabledFontColor, Value); }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value) { SetLook(FFontColor, Value); }
    TColor URLColor() const { return FURLColor; }
    void SetURLColor(TColor Value) { SetLook(FURLColor, Value); }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value) { SetLook(FShadowColor, Value); }
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value) { SetLook(FShadowOffset, Value); }
    bool DrawBkg() const { return FDrawBkg; }
    void SetDrawBkg(bool Value) { SetLook(FDrawBkg, Value); }
    bool TransparentCaching() const { return FTransparentCaching; }
    void SetTransparentCaching(bool Value) { SetLook(FTransparentCaching, Value); }
    bool TabStop() const { return focusPolicy() & Qt::TabFocus; }
    void SetTabStop(bool Value) { setFocusPolicy(Value ? Qt::StrongFocus : Qt::ClickFocus); }

    bool Down() const { return FDown; }
    bool Hot() const { return FHot; }
    bool Focused() const { return FFocused; }
    // Width of glyph and caption after the last paint.
    int CtrlWidth() const { return FCtrlWidth; }
    // The rectangle the glyph is drawn in.
    QRect GlyphRect() const;
    // The rectangle the caption is drawn in.
    QRect CaptionRect() const;

    virtual std::uint32_t GetVersionNr() const;
    QString Version() const;

    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorClick;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorEnter;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorExit;

protected:
    virtual void RaiseClick();
    // The radio group the button is an item of, if any.
    TCustomOfficeRadioGroup* RadioGroup() const;

    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    bool event(QEvent* Event) override;

private:
    template <typename T> void SetLook(T& Field, const T& Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        update();
    }
    bool RightAligned() const;
    TCaptionOptions CaptionOptions() const;
    QString AnchorAt(const QPoint& Point) const;
    void SetAnchor(const QString& Anchor);
    void MoveFocus(int Step);
    bool GroupAllowsChange() const;

    bool FAutoCheck = false;
    bool FDown = false;
    bool FChecked = false;
    bool FFocused = false;
    bool FShowFocus = true;
    int FGroupIndex = 0;
    bool FReturnIsTab = false;
    QString FAnchor;
    TColor FURLColor = RGBColor(0, 0, 255);
    TTextLayout FBtnVAlign = tlTop;
    TAlignment FAlignment = taLeftJustify;
    bool FEllipsis = false;
    QString FCaption;
    int FShadowOffset = 1;
    TColor FShadowColor = RGBColor(128, 128, 128);
    bool FHot = false;
    bool FClicksDisabled = false;
    bool FTransparentCaching = false;
    bool FDrawBkg = true;
    bool FGotClick = false;
    TColor FDisabledFontColor = RGBColor(128, 128, 128);
    TColor FFontColor = clWindowText;
    bool FThemed = false;
    bool FCheckDown = false;
    int FCtrlWidth = 0;
    int FShortcutId = 0;
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
