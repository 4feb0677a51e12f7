#pragma once

#include "controls/CaptionRenderer.h"
#include "controls/Colors.h"
#include "controls/ControlSupport.h"
#include "controls/ControlTypes.h"
#include "controls/AccessibleEvents.h"

#include <QImage>
#include <QStyle>
#include <QWidget>

#include <cstdint>
#include <functional>

// What the office radio button and check box have in common: a small glyph beside a caption
// that may carry simple mark-up and links, the look settings of both, the hot, pressed and
// focused states, the caption's accelerator and the painting of glyph, caption and focus frame.
// Each control supplies its glyph and decides what the user's actions do to its state.
class TOfficeCaptionButton : public QWidget {
    Q_OBJECT

public:
    ~TOfficeCaptionButton() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { if (AssignIfChanged(FAlignment, Value)) update(); }
    TTextLayout ButtonVertAlign() const { return FBtnVAlign; }
    void SetButtonVertAlign(TTextLayout Value) { if (AssignIfChanged(FBtnVAlign, Value)) update(); }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value) { if (AssignIfChanged(FEllipsis, Value)) update(); }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value) { if (AssignIfChanged(FShowFocus, Value)) update(); }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool Value) { FReturnIsTab = Value; }
    bool Themed() const { return FThemed; }
    void SetThemed(bool Value) { if (AssignIfChanged(FThemed, Value)) update(); }
    TColor DisabledFontColor() const { return FDisabledFontColor; }
    void SetDisabledFontColor(TColor Value) { if (AssignIfChanged(FDisabledFontColor, Value)) update(); }
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value) { if (AssignIfChanged(FFontColor, Value)) update(); }
    TColor URLColor() const { return FURLColor; }
    void SetURLColor(TColor Value) { if (AssignIfChanged(FURLColor, Value)) update(); }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value) { if (AssignIfChanged(FShadowColor, Value)) update(); }
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value) { if (AssignIfChanged(FShadowOffset, Value)) update(); }
    bool DrawBkg() const { return FDrawBkg; }
    void SetDrawBkg(bool Value) { if (AssignIfChanged(FDrawBkg, Value)) update(); }
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

    // Does what a released Space key does: a check box takes its next state, a radio item is
    // selected, and the click is raised. A screen reader's toggle comes here.
    void Press() { ClickedBySpace(); }

    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorClick;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorEnter;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorExit;

protected:
    explicit TOfficeCaptionButton(QWidget* Parent);

    // Raises OnClick.
    void Click();
    // The start of a press at Point: a link there is followed when FollowLinks is set, and
    // otherwise the glyph goes down.
    void PressAt(const QPoint& Point, bool FollowLinks);
    // Places the caption without drawing it and records the width of glyph and caption.
    int MeasureCtrlWidth();

    // The glyph: the style's indicator and its check state when themed, a bitmap otherwise.
    virtual QStyle::PrimitiveElement ThemedGlyph() const = 0;
    virtual QStyle::State ThemedGlyphState() const = 0;
    // The glyph bitmap for a square of Pixels device pixels.
    virtual QImage GlyphBitmap(TGlyphPointerState Pointer, int Pixels) const = 0;
    // The glyph's top with top alignment, and its distance from the bottom with bottom alignment.
    virtual int GlyphTop(int Side) const = 0;
    virtual int GlyphBottomMargin() const = 0;
    // How far the caption stands from the glyph's side of the control, and its top.
    virtual int CaptionIndent() const = 0;
    virtual int CaptionTop() const { return 4; }
    // The dotted focus frame around a caption of the drawn Size placed in Caption.
    virtual QRect FocusRect(const QRect& Caption, const TCaptionResult& Size) const = 0;
    // The mouse buttons that press the control.
    virtual Qt::MouseButtons PressButtons() const = 0;
    // What a completed press does: a release inside the control, a released Space key, the
    // caption's accelerator.
    virtual void ClickedByMouse() = 0;
    virtual void ClickedBySpace() = 0;
    virtual void ClickedByAccelerator() = 0;
    virtual void CaptionChanged() { }

    void paintEvent(QPaintEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    bool event(QEvent* Event) override;

    bool FGotClick = false;
    bool FTransparentCaching = false;

    // Tells assistive technology what the last event or setter did to the control's states.
    void ReportAccessibleState() { FAccessibleState.Report(this); }

private:
    bool HandleEvent(QEvent* Event);
    bool RightAligned() const;
    TCaptionOptions CaptionOptions() const;
    TCaptionResult PlaceCaption(QPainter* Painter, QRect& Caption) const;
    QString AnchorAt(const QPoint& Point) const;

    bool FDown = false;
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
    bool FDrawBkg = true;
    TColor FDisabledFontColor = RGBColor(128, 128, 128);
    TColor FFontColor = clWindowText;
    bool FThemed = false;
    int FCtrlWidth = 0;
    int FShortcutId = 0;
    TAccessibleStateWatch FAccessibleState;
};
