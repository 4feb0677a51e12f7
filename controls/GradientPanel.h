#pragma once

#include "controls/CaptionRenderer.h"
#include "controls/Colors.h"
#include "controls/ControlSupport.h"
#include "controls/PanelParts.h"

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TTextVAlignment : std::uint8_t { tvaTop, tvaCenter, tvaBottom };
enum TBackgroundPosition : std::uint8_t {
    bpTopLeft, bpTopRight, bpBottomLeft, bpBottomRight, bpTiled, bpStretched, bpCenter
};

// A copy of every visual setting of a gradient panel, handed from one panel to others.
struct TGradientPanelSettings {
    TColor Color = clBtnFace;
    TColor ColorTo = clNone;
    TColor ColorMirror = clNone;
    TColor ColorMirrorTo = clNone;
    TGradientDirection GradientDirection = gdVertical;
    TBevelCut BevelOuter = bvRaised;
    TBevelCut BevelInner = bvNone;
    int BevelWidth = 1;
    int BorderWidth = 0;
    TColor BorderColor = clBlack;
    bool BorderShadow = false;
    TTextVAlignment TextVAlign = tvaTop;
    TColor URLColor = 0xFF0000;
    TColor ShadowColor = 0x808080;
    int ShadowOffset = 2;
    TColor FontColor = clWindowText;
    TColor CollapsColor = 0x808080;
    int CollapsDelay = 20;
    TPanelCaption Caption;
    TPanelStatusBar StatusBar;
};

// A container that paints its own background: a solid colour or a banded gradient (optionally
// mirrored), an optional coloured border and shadow, 3-D bevels, a text block, and optionally a
// caption bar, a status bar and a size grip. Child widgets are laid out inside the bevels.
class TCustomGradientPanel : public QWidget {
    Q_OBJECT

public:
    explicit TCustomGradientPanel(QWidget* Parent = nullptr);

    QString Version() const { return QStringLiteral("2.5.7.6"); }

    TColor Color() const { return FSettings.Color; }
    void SetColor(TColor Value) { if (AssignIfChanged(FSettings.Color, Value)) PartChanged(); }
    TColor ColorTo() const { return FSettings.ColorTo; }
    void SetColorTo(TColor Value) { if (AssignIfChanged(FSettings.ColorTo, Value)) PartChanged(); }
    TColor ColorMirror() const { return FSettings.ColorMirror; }
    void SetColorMirror(TColor Value) { if (AssignIfChanged(FSettings.ColorMirror, Value)) PartChanged(); }
    TColor ColorMirrorTo() const { return FSettings.ColorMirrorTo; }
    void SetColorMirrorTo(TColor Value) { if (AssignIfChanged(FSettings.ColorMirrorTo, Value)) PartChanged(); }
    TGradientDirection GradientDirection() const { return FSettings.GradientDirection; }
    void SetGradientDirection(TGradientDirection Value) { if (AssignIfChanged(FSettings.GradientDirection, Value)) PartChanged(); }
    TBevelCut BevelOuter() const { return FSettings.BevelOuter; }
    void SetBevelOuter(TBevelCut Value) { if (AssignIfChanged(FSettings.BevelOuter, Value)) PartChanged(); }
    TBevelCut BevelInner() const { return FSettings.BevelInner; }
    void SetBevelInner(TBevelCut Value) { if (AssignIfChanged(FSettings.BevelInner, Value)) PartChanged(); }
    int BevelWidth() const { return FSettings.BevelWidth; }
    void SetBevelWidth(int Value) { if (AssignIfChanged(FSettings.BevelWidth, qMax(1, Value))) PartChanged(); }
    int BorderWidth() const { return FSettings.BorderWidth; }
    void SetBorderWidth(int Value) { if (AssignIfChanged(FSettings.BorderWidth, qMax(0, Value))) PartChanged(); }
    TColor BorderColor() const { return FSettings.BorderColor; }
    void SetBorderColor(TColor Value) { if (AssignIfChanged(FSettings.BorderColor, Value)) PartChanged(); }
    bool BorderShadow() const { return FSettings.BorderShadow; }
    void SetBorderShadow(bool Value) { if (AssignIfChanged(FSettings.BorderShadow, Value)) PartChanged(); }
    bool Buffered() const { return FBuffered; }
    void SetBuffered(bool Value) { if (AssignIfChanged(FBuffered, Value)) PartChanged(); }

    QString Text() const { return FText; }
    void SetText(const QString& Value) { if (AssignIfChanged(FText, Value)) PartChanged(); }
    TTextVAlignment TextVAlign() const { return FSettings.TextVAlign; }
    void SetTextVAlign(TTextVAlignment Value) { if (AssignIfChanged(FSettings.TextVAlign, Value)) PartChanged(); }
    int Indent() const { return FIndent; }
    void SetIndent(int Value) { if (AssignIfChanged(FIndent, Value)) PartChanged(); }
    int TopIndent() const { return FTopIndent; }
    void SetTopIndent(int Value) { if (AssignIfChanged(FTopIndent, Value)) PartChanged(); }
    int BottomIndent() const { return FBottomIndent; }
    void SetBottomIndent(int Value) { if (AssignIfChanged(FBottomIndent, Value)) PartChanged(); }
    int LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(int Value) { if (AssignIfChanged(FLineSpacing, Value)) PartChanged(); }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value) { if (AssignIfChanged(FEllipsis, Value)) PartChanged(); }
    TColor URLColor() const { return FSettings.URLColor; }
    void SetURLColor(TColor Value) { if (AssignIfChanged(FSettings.URLColor, Value)) PartChanged(); }
    TColor ShadowColor() const { return FSettings.ShadowColor; }
    void SetShadowColor(TColor Value) { if (AssignIfChanged(FSettings.ShadowColor, Value)) PartChanged(); }
    int ShadowOffset() const { return FSettings.ShadowOffset; }
    void SetShadowOffset(int Value) { if (AssignIfChanged(FSettings.ShadowOffset, Value)) PartChanged(); }
    bool AnchorHint() const { return FAnchorHint; }
    void SetAnchorHint(bool Value) { FAnchorHint = Value; }
    TColor FontColor() const { return FSettings.FontColor; }
    void SetFontColor(TColor Value) { if (AssignIfChanged(FSettings.FontColor, Value)) PartChanged(); }

    QPixmap Background() const { return FBackground; }
    void SetBackground(const QPixmap& Value);
    TBackgroundPosition BackgroundPosition() const { return FBackgroundPosition; }
    void SetBackgroundPosition(TBackgroundPosition Value) { if (AssignIfChanged(FBackgroundPosition, Value)) PartChanged(); }

    TPanelCaption& Caption() { return FSettings.Caption; }
    TPanelStatusBar& StatusBar() { return FSettings.StatusBar; }

    bool Collaps() const { return FCollaps; }
    void SetCollaps(bool Value);
    TColor CollapsColor() const { return FSettings.CollapsColor; }
    void SetCollapsColor(TColor Value) { FSettings.CollapsColor = Value; }
    int CollapsDelay() const { return FSettings.CollapsDelay; }
    void SetCollapsDelay(int Value) { FSettings.CollapsDelay = qMax(0, Value); }
    int CollapsSteps() const { return FCollapsSteps; }
    void SetCollapsSteps(int Value) { FCollapsSteps = qMax(0, Value); }
    bool AutoHideChildren() const { return FAutoHideChildren; }
    void SetAutoHideChildren(bool Value) { FAutoHideChildren = Value; }
    int FullHeight() const { return FFullHeight; }
    void SetFullHeight(int Value) { FFullHeight = Value; }
    bool CanSize() const { return FCanSize; }
    void SetCanSize(bool Value) { if (AssignIfChanged(FCanSize, Value)) PartChanged(); }
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }

    // The panel's look as a settings record, and the same look taken from one.
    TGradientPanelSettings Settings() const;
    void AssignSettings(const TGradientPanelSettings& Settings);
    // Takes over the look of another panel.
    void Assign(const TCustomGradientPanel& Source) { AssignSettings(Source.Settings()); }

    // Changes between these two calls are painted once, at the end.
    void BeginUpdate();
    void EndUpdate();

    // The rectangle offered to child controls: inside border and bevels, without the bars.
    QRect ChildArea() const;
    // Height of the caption bar in device pixels.
    int CapHeight() const;
    // Size of the panel's text as drawn in its text rectangle.
    QSize GetHTMLSize() const;

    std::function<void(QObject* Sender, QPainter& Canvas, const QRect& Rect)> OnPaint;
    std::function<void(QObject* Sender)> OnMouseEnter;
    std::function<void(QObject* Sender)> OnMouseLeave;
    std::function<void(QObject* Sender)> OnCaptionClick;
    std::function<void(QObject* Sender)> OnCaptionDBlClick;
    std::function<void(QObject* Sender)> OnClose;
    std::function<void(QObject* Sender)> OnMinimize;
    std::function<void(QObject* Sender)> OnMaximize;
    std::function<void(QObject* Sender)> OnEndCollapsExpand;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorClick;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorEnter;
    std::function<void(QObject* Sender, const QString& Anchor)> OnAnchorExit;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void enterEvent(QEnterEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    bool event(QEvent* Event) override;

private:
    void PartChanged();
    void PaintPanel(QPainter& Painter);
    void PaintBorderAndShadow(QPainter& Painter);
    void PaintBevels(QPainter& Painter);
    void PaintBackgroundPicture(QPainter& Painter);
    void PaintCaptionBar(QPainter& Painter);
    void PaintStatusBar(QPainter& Painter);
    void PaintText(QPainter& Painter);
    void PaintSizeGrip(QPainter& Painter);
    int BevelTotal() const;
    QRect InsideBevels() const;
    QRect CaptionBarRect() const;
    QRect CloseButtonRect() const;
    QRect MinMaxButtonRect() const;
    QRect StatusBarRect() const;
    QRect TextRect() const;
    QRect PlacedTextRect() const;
    TCaptionOptions TextOptions() const;
    int CollapsedSize() const;
    // The colour the background starts from: CollapsColor while a collapse is shown step by step.
    TColor FaceColor() const;
    void CollapsStep();
    void EndCollaps();

    TGradientPanelSettings FSettings;
    bool FBuffered = true;
    QString FText;
    int FIndent = 0;
    int FTopIndent = 0;
    int FBottomIndent = 0;
    int FLineSpacing = 0;
    bool FEllipsis = false;
    bool FAnchorHint = false;
    QPixmap FBackground;
    TBackgroundPosition FBackgroundPosition = bpTopLeft;
    bool FCollaps = false;
    int FCollapsSteps = 0;
    bool FAutoHideChildren = true;
    bool FCanSize = false;
    bool FFreeOnClose = false;
    int FFullHeight = 200;
    bool FIsCollapsing = false;
    // A collapse or expansion in progress: the panel moves from From towards Target in steps of
    // StepSize, one step each CollapsDelay milliseconds.
    struct TCollapsRun {
        bool Collapse = false;
        bool Vertical = true;
        int From = 0;
        int Target = 0;
        int StepSize = 0;
        int StepsDone = 0;
        bool Coloured = false;
    };
    TCollapsRun FCollapsRun;
    QTimer FCollapsTimer;
    QString FAccessibleName; // the caption text assistive technology was last told of
    QList<QPointer<QWidget>> FHiddenChildren;
    QString FAnchor;
    int FUpdateCount = 0;
};

// The published gradient panel.
class TGradientPanel : public TCustomGradientPanel {
public:
    using TCustomGradientPanel::TCustomGradientPanel;
};
