#pragma once

#include "controls/CaptionRenderer.h"
#include "controls/Colors.h"
#include "controls/ControlTypes.h"

#include <QWidget>

#include <cstdint>
#include <functional>

// A three-state check box with the flat office look. Only the user's actions (and the
// check-state message) raise OnClick; setting Checked or State from code does not.
class TCustomOfficeCheckBox : public QWidget {
public:
    explicit TCustomOfficeCheckBox(QWidget* Parent = nullptr);
    ~TCustomOfficeCheckBox() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    virtual bool Checked() const { return FState == cbChecked; }
    virtual void SetChecked(bool Value);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    virtual TCheckBoxState GetState() const { return FState; }
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { SetLook(FAlignment, Value); }
    TTextLayout ButtonVertAlign() const { return FBtnVAlign; }
    void SetButtonVertAlign(TTextLayout Value) { SetLook(FBtnVAlign, Value); }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value) { SetLook(FEllipsis, Value); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
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
    bool TransparentChaching() const { return FTransparentCaching; }
    void SetTransparentChaching(bool Value) { SetLook(FTransparentCaching, Value); }
    bool TabStop() const { return focusPolicy() & Qt::TabFocus; }
    void SetTabStop(bool Value) { setFocusPolicy(Value ? Qt::StrongFocus : Qt::ClickFocus); }
    bool Down() const { return FDown; }
    bool Hot() const { return FHot; }
    bool Focused() const { return FFocused; }
    int CtrlWidth() const { return FCtrlWidth; }
    QRect GlyphRect() const;
    QRect CaptionRect() const;

    // Advances the state as a click does; a read-only box keeps its state.
    virtual void Toggle();
    // The check-state message: 0 unchecks and 1 checks (both raise the click), 2 grays.
    void CheckStateMessage(int Value);

    virtual std::uint32_t GetVersionNr() const;
    QString Version() const;

    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorClick;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorEnter;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorExit;

protected:
    void Click();
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void showEvent(QShowEvent* Event) override;
    void changeEvent(QEvent* Event) override;
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
    TCaptionResult PlaceCaption(QPainter* Painter, QRect& Caption) const;
    QString AnchorAt(const QPoint& Point) const;
    void SetAnchor(const QString& Anchor);
    void ApplyAutoSize();

    bool FAllowGrayed = false;
    bool FDown = false;
    TCheckBoxState FState = cbUnchecked;
    bool FFocused = false;
    bool FShowFocus = true;
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
    bool FReadOnly = false;
    bool FTransparentCaching = false;
    bool FDrawBkg = true;
    bool FGotClick = false;
    TColor FDisabledFontColor = RGBColor(128, 128, 128);
    TColor FFontColor = clWindowText;
    bool FThemed = false;
    bool FAutoSize = false;
    int FCtrlWidth = 0;
    int FShortcutId = 0;
};

class TOfficeCheckBox : public TCustomOfficeCheckBox {
public:
    using TCustomOfficeCheckBox::TCustomOfficeCheckBox;
};
