#include "controls/GradientPanel.h"

#include "controls/AccessibleEvents.h"
#include "controls/AccessibleInterfaces.h"
#include "controls/CaptionLinks.h"
#include "controls/DeviceRatio.h"
#include "controls/GradientDrawing.h"
#include "controls/Rounding.h"

#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

TCustomGradientPanel::TCustomGradientPanel(QWidget* Parent)
    : QWidget(Parent)
{
    resize(300, 200);
    setMouseTracking(true);
    const auto changed = [this] { PartChanged(); };
    FSettings.Caption.OnChange = changed;
    FSettings.StatusBar.OnChange = changed;
    connect(&FCollapsTimer, &QTimer::timeout, this, [this] { CollapsStep(); });
    PartChanged();
    InstallControlsAccessibility();
}

void TCustomGradientPanel::PartChanged()
{
    const QRect area = ChildArea();
    setContentsMargins(area.left(), area.top(), qMax(0, width() - area.right() - 1),
        qMax(0, height() - area.bottom() - 1));
    update();
    if (AssignIfChanged(FAccessibleName, FSettings.Caption.Text()))
        RaiseAccessibleNameChanged(this);
}

TGradientPanelSettings TCustomGradientPanel::Settings() const
{
    TGradientPanelSettings settings = FSettings;
    // A copy tells no panel about its changes.
    settings.Caption.OnChange = nullptr;
    settings.StatusBar.OnChange = nullptr;
    return settings;
}

void TCustomGradientPanel::AssignSettings(const TGradientPanelSettings& Settings)
{
    // The panel's parts keep telling this panel about their changes.
    const auto captionChanged = FSettings.Caption.OnChange;
    const auto statusChanged = FSettings.StatusBar.OnChange;
    FSettings = Settings;
    FSettings.Caption.OnChange = captionChanged;
    FSettings.StatusBar.OnChange = statusChanged;
    FSettings.BevelWidth = qMax(1, FSettings.BevelWidth);
    FSettings.BorderWidth = qMax(0, FSettings.BorderWidth);
    FSettings.CollapsDelay = qMax(0, FSettings.CollapsDelay);
    PartChanged();
}

void TCustomGradientPanel::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        setUpdatesEnabled(false);
}

void TCustomGradientPanel::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0) {
        setUpdatesEnabled(true);
        update();
    }
}

void TCustomGradientPanel::SetBackground(const QPixmap& Value)
{
    FBackground = Value;
    update();
}

int TCustomGradientPanel::CapHeight() const
{
    return RoundEven(FSettings.Caption.Height() * logicalDpiY() / 96.0);
}

int TCustomGradientPanel::BevelTotal() const
{
    return (FSettings.BevelOuter != bvNone ? FSettings.BevelWidth : 0) + (FSettings.BevelInner != bvNone ? FSettings.BevelWidth : 0);
}

QRect TCustomGradientPanel::InsideBevels() const
{
    const int inset = BevelTotal();
    return rect().adjusted(inset, inset, -inset, -inset);
}

QRect TCustomGradientPanel::ChildArea() const
{
    const int inset = FSettings.BorderWidth + BevelTotal();
    QRect area = rect().adjusted(inset, inset, -inset, -inset);
    if (FSettings.Caption.Visible()) {
        const int bar = CapHeight() - 2;
        switch (FSettings.Caption.Position()) {
        case TPanelCaption::cpTop:
            area.setTop(area.top() + bar);
            break;
        case TPanelCaption::cpLeft:
            area.setLeft(area.left() + bar);
            break;
        case TPanelCaption::cpRight:
            area.setRight(area.right() - bar);
            break;
        }
    }
    if (FSettings.StatusBar.Visible()) {
        if (FSettings.Caption.Visible() && FSettings.Caption.Position() == TPanelCaption::cpLeft)
            area.setRight(area.right() - FSettings.StatusBar.Height());
        else if (FSettings.Caption.Visible() && FSettings.Caption.Position() == TPanelCaption::cpRight)
            area.setLeft(area.left() + FSettings.StatusBar.Height());
        else
            area.setBottom(area.bottom() - FSettings.StatusBar.Height());
    }
    return area;
}

QRect TCustomGradientPanel::CaptionBarRect() const
{
    if (!FSettings.Caption.Visible())
        return QRect();
    const QRect inside = InsideBevels();
    const int depth = qMax(0, CapHeight() - 2 * FSettings.BevelWidth);
    switch (FSettings.Caption.Position()) {
    case TPanelCaption::cpLeft:
        return QRect(inside.left(), inside.top(), depth, inside.height());
    case TPanelCaption::cpRight:
        return QRect(inside.right() + 1 - depth, inside.top(), depth, inside.height());
    case TPanelCaption::cpTop:
        break;
    }
    return QRect(inside.left(), inside.top(), inside.width(), depth);
}

QRect TCustomGradientPanel::CloseButtonRect() const
{
    const QRect bar = CaptionBarRect();
    if (bar.isEmpty() || !FSettings.Caption.CloseButton())
        return QRect();
    const int side = RoundEven(14 * logicalDpiY() / 96.0);
    if (FSettings.Caption.Position() != TPanelCaption::cpTop)
        return QRect(bar.left() + (bar.width() - side) / 2, bar.top() + 2, side, side);
    const int top = bar.top() + (bar.height() - side) / 2;
    if (FSettings.Caption.ButtonPosition() == TPanelCaption::cbpLeft)
        return QRect(bar.left() + 2, top, side, side);
    return QRect(bar.right() - 1 - side, top, side, side);
}

QRect TCustomGradientPanel::MinMaxButtonRect() const
{
    const QRect bar = CaptionBarRect();
    if (bar.isEmpty() || !FSettings.Caption.MinMaxButton())
        return QRect();
    const int side = RoundEven(14 * logicalDpiY() / 96.0);
    const int step = FSettings.Caption.CloseButton() ? side + 2 : 0;
    if (FSettings.Caption.Position() != TPanelCaption::cpTop)
        return QRect(bar.left() + (bar.width() - side) / 2, bar.top() + 2 + step, side, side);
    const int top = bar.top() + (bar.height() - side) / 2;
    if (FSettings.Caption.ButtonPosition() == TPanelCaption::cbpLeft)
        return QRect(bar.left() + 2 + step, top, side, side);
    return QRect(bar.right() - 1 - side - step, top, side, side);
}

QRect TCustomGradientPanel::StatusBarRect() const
{
    if (!FSettings.StatusBar.Visible())
        return QRect();
    int u = FSettings.BevelOuter != bvNone || FSettings.BevelInner != bvNone ? 2 : 1;
    if (FSettings.BorderShadow && FSettings.BorderWidth > 0)
        u += 2;
    return QRect(QPoint(u, height() - FSettings.StatusBar.Height() - 1), QPoint(width() - u - 1, height() - u - 1));
}

QRect TCustomGradientPanel::TextRect() const
{
    QRect area = rect();
    const QRect bar = CaptionBarRect();
    if (!bar.isEmpty()) {
        switch (FSettings.Caption.Position()) {
        case TPanelCaption::cpTop:
            area.setTop(bar.bottom() + 1);
            break;
        case TPanelCaption::cpLeft:
            area.setLeft(bar.right() + 1);
            break;
        case TPanelCaption::cpRight:
            area.setRight(bar.left() - 1);
            break;
        }
    }
    const int inset = FSettings.BorderWidth + 1;
    area.adjust(inset, inset, -inset, -inset);
    if (FSettings.BorderShadow)
        area.adjust(0, 0, -2, -3);
    area.adjust(FIndent, FTopIndent, 0, -FBottomIndent);
    if (FSettings.StatusBar.Visible())
        area.setBottom(area.bottom() - FSettings.StatusBar.Height());
    return area;
}

TCaptionOptions TCustomGradientPanel::TextOptions() const
{
    TCaptionOptions options;
    options.WordWrap = !FEllipsis;
    options.Ellipsis = FEllipsis;
    options.LineSpacing = FLineSpacing;
    options.URLColor = ToQColor(FSettings.URLColor);
    options.ShadowColor = ToQColor(FSettings.ShadowColor);
    options.ShadowOffset = FSettings.ShadowOffset;
    return options;
}

QRect TCustomGradientPanel::PlacedTextRect() const
{
    QRect area = TextRect();
    if (FSettings.TextVAlign == tvaTop || FText.isEmpty())
        return area;
    const int textHeight = MeasureCaption(font(), FText, area, TextOptions()).Height;
    if (textHeight < area.height()) {
        if (FSettings.TextVAlign == tvaCenter)
            area.setTop(area.top() + (area.height() - textHeight) / 2);
        else
            area.setTop(area.bottom() + 1 - textHeight);
    }
    return area;
}

QSize TCustomGradientPanel::GetHTMLSize() const
{
    const TCaptionResult size = MeasureCaption(font(), FText, TextRect(), TextOptions());
    return QSize(size.Width, size.Height);
}

void TCustomGradientPanel::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    if (!FBuffered) {
        QPainter painter(this);
        PaintPanel(painter);
        return;
    }
    // One client-sized picture per paint, put on the window at once, so the bands never flicker.
    // It has the pixels of what the window painter draws on, so it is copied one to one.
    QPainter painter(this);
    QImage buffer = DeviceImage(size(), PaintRatio(painter));
    {
        QPainter offscreen(&buffer);
        PaintPanel(offscreen);
    }
    painter.drawImage(0, 0, buffer);
}

void TCustomGradientPanel::PaintPanel(QPainter& Painter)
{
    const QRect client = rect();
    Painter.save();
    if (FSettings.ColorTo == clNone)
        Painter.fillRect(client, ToQColor(FaceColor()));
    else if (FSettings.ColorMirror == clNone)
        DrawGradient(Painter, FaceColor(), FSettings.ColorTo, 128, client, FSettings.GradientDirection == gdHorizontal);
    else
        DrawMirrorGradient(Painter, FaceColor(), FSettings.ColorTo, FSettings.ColorMirror, FSettings.ColorMirrorTo, client,
            FSettings.GradientDirection == gdHorizontal);
    PaintBorderAndShadow(Painter);
    PaintBevels(Painter);
    PaintCaptionBar(Painter);
    PaintStatusBar(Painter);
    PaintBackgroundPicture(Painter);
    PaintText(Painter);
    PaintSizeGrip(Painter);
    Painter.restore();
    Raise(OnPaint, this, Painter, client);
}

void TCustomGradientPanel::PaintBorderAndShadow(QPainter& Painter)
{
    QRect working = rect();
    // The shadow sits inside the panel, so the border makes room for it.
    if (FSettings.BorderShadow)
        working.adjust(0, 0, -2, -2);
    if (FSettings.BorderColor != clNone && FSettings.BorderWidth > 0) {
        // A pen of width w centred on a rectangle shrunk by w div 2 covers the outer w pixels.
        const QColor color = ToQColor(FSettings.BorderColor);
        const int w = qMin(FSettings.BorderWidth, qMax(0, qMin(working.width(), working.height())));
        Painter.fillRect(QRect(working.left(), working.top(), working.width(), w), color);
        Painter.fillRect(QRect(working.left(), working.bottom() + 1 - w, working.width(), w), color);
        Painter.fillRect(QRect(working.left(), working.top(), w, working.height()), color);
        Painter.fillRect(QRect(working.right() + 1 - w, working.top(), w, working.height()), color);
    }
    if (!FSettings.BorderShadow)
        return;
    const int L = working.left();
    const int T = working.top();
    const int R = working.left() + working.width();
    const int B = working.top() + working.height();
    PolyLine(Painter, {QPoint(R, T + 1), QPoint(R, B), QPoint(L, B)},
        ToQColor(MixPanelColors(FSettings.BorderColor, clBtnFace, 50)));
    PolyLine(Painter, {QPoint(R + 1, T + 2), QPoint(R + 1, B + 1), QPoint(L, B + 1)},
        ToQColor(MixPanelColors(FSettings.BorderColor, clBtnFace, 20)));
}

void TCustomGradientPanel::PaintBevels(QPainter& Painter)
{
    QRect area = rect();
    const auto bevel = [&](TBevelCut Cut) {
        if (Cut == bvNone)
            return;
        if (Cut == bvLowered)
            Frame3D(Painter, area, clBtnShadow, clBtnHighlight, FSettings.BevelWidth);
        else
            Frame3D(Painter, area, clBtnHighlight, clBtnShadow, FSettings.BevelWidth);
    };
    bevel(FSettings.BevelOuter);
    if (FSettings.BorderColor == clNone)
        Frame3D(Painter, area, FaceColor(), FaceColor(), 1);
    bevel(FSettings.BevelInner);
}

void TCustomGradientPanel::PaintBackgroundPicture(QPainter& Painter)
{
    if (FBackground.isNull())
        return;
    const QRect area = InsideBevels();
    const QSize picture = FBackground.size() / FBackground.devicePixelRatio();
    switch (FBackgroundPosition) {
    case bpTopLeft:
        Painter.drawPixmap(area.topLeft(), FBackground);
        break;
    case bpTopRight:
        Painter.drawPixmap(area.right() + 1 - picture.width(), area.top(), FBackground);
        break;
    case bpBottomLeft:
        Painter.drawPixmap(area.left(), area.bottom() + 1 - picture.height(), FBackground);
        break;
    case bpBottomRight:
        Painter.drawPixmap(area.right() + 1 - picture.width(), area.bottom() + 1 - picture.height(), FBackground);
        break;
    case bpTiled:
        Painter.drawTiledPixmap(area, FBackground);
        break;
    case bpStretched:
        Painter.drawPixmap(area, FBackground);
        break;
    case bpCenter:
        Painter.drawPixmap(area.left() + (area.width() - picture.width()) / 2,
            area.top() + (area.height() - picture.height()) / 2, FBackground);
        break;
    }
}

void TCustomGradientPanel::PaintCaptionBar(QPainter& Painter)
{
    const QRect bar = CaptionBarRect();
    if (bar.isEmpty())
        return;
    const TColor color = FCollaps ? FSettings.Caption.CloseColor() : FSettings.Caption.Color();
    if (FSettings.Caption.ColorTo() == clNone) {
        Painter.fillRect(bar, ToQColor(color));
    } else {
        const bool side = FSettings.Caption.Position() != TPanelCaption::cpTop;
        // Side captions run their gradient across the bar; the right-hand one is swapped.
        const bool horizontal = side ? true : FSettings.Caption.GradientDirection() == gdHorizontal;
        if (FSettings.Caption.Position() == TPanelCaption::cpRight)
            DrawGradient(Painter, FSettings.Caption.ColorTo(), color, 128, bar, horizontal);
        else
            DrawGradient(Painter, color, FSettings.Caption.ColorTo(), 128, bar, horizontal);
    }
    const auto drawButton = [&](const QRect& Button, TColor Color, bool Cross) {
        if (Button.isEmpty())
            return;
        Painter.save();
        Painter.setPen(QPen(ToQColor(Color), 2));
        const QRect figure = Button.adjusted(3, 3, -3, -3);
        if (Cross) {
            Painter.drawLine(figure.topLeft(), figure.bottomRight());
            Painter.drawLine(figure.topRight(), figure.bottomLeft());
        } else if (FCollaps) {
            Painter.drawRect(figure);
        } else {
            Painter.drawLine(figure.left(), figure.bottom(), figure.right(), figure.bottom());
        }
        Painter.restore();
    };
    drawButton(CloseButtonRect(), FSettings.Caption.CloseButtonColor(), true);
    drawButton(MinMaxButtonRect(), FSettings.Caption.MinMaxButtonColor(), false);
    if (FSettings.Caption.Text().isEmpty())
        return;
    const QRect textArea = bar.adjusted(FSettings.Caption.Indent() + 2, FSettings.Caption.TopIndent(), 0, 0);
    Painter.save();
    Painter.setClipRect(bar);
    TCaptionOptions options = TextOptions();
    options.WordWrap = false;
    RenderCaption(&Painter, font(), ToQColor(FSettings.Caption.FontColor()), FSettings.Caption.Text(), textArea, options);
    Painter.restore();
}

void TCustomGradientPanel::PaintStatusBar(QPainter& Painter)
{
    const QRect strip = StatusBarRect();
    if (strip.isEmpty())
        return;
    if (FSettings.StatusBar.Color() != clNone && FSettings.StatusBar.ColorTo() != clNone)
        DrawGradient(Painter, FSettings.StatusBar.Color(), FSettings.StatusBar.ColorTo(), 40, strip,
            FSettings.StatusBar.GradientDirection() == gdHorizontal);
    else if (FSettings.StatusBar.Color() != clNone)
        Painter.fillRect(strip, ToQColor(FSettings.StatusBar.Color()));
    if (!FSettings.StatusBar.Text().isEmpty()) {
        TCaptionOptions options = TextOptions();
        options.WordWrap = false;
        RenderCaption(&Painter, FSettings.StatusBar.Font(), ToQColor(FSettings.StatusBar.FontColor()), FSettings.StatusBar.Text(),
            strip.adjusted(2, FSettings.StatusBar.TopIndent(), -2, 0), options);
    }
    if (FSettings.StatusBar.BorderStyle() != bsNone) {
        QRect frame = strip;
        Frame3D(Painter, frame, FSettings.StatusBar.BorderColor(), FSettings.StatusBar.BorderColor(), 1);
    }
    if (FSettings.StatusBar.BevelInner()) {
        QRect edge = strip;
        Frame3D(Painter, edge, 0x808080, clWhite, 1);
    }
}

void TCustomGradientPanel::PaintText(QPainter& Painter)
{
    if (FText.isEmpty())
        return;
    const QRect area = PlacedTextRect();
    Painter.save();
    if (!FBuffered)
        Painter.setClipRect(area);
    RenderCaption(&Painter, font(), ToQColor(FSettings.FontColor), FText, area, TextOptions());
    Painter.restore();
}

void TCustomGradientPanel::PaintSizeGrip(QPainter& Painter)
{
    if (!FCanSize || FCollaps)
        return;
    int R = width() - 1;
    int B = height() - 1;
    if (BevelTotal() > 0) {
        R -= 2 * FSettings.BevelWidth;
        B -= 2 * FSettings.BevelWidth;
    }
    if (FSettings.BorderShadow) {
        R -= 4;
        B -= 4;
    }
    const bool mirrored = FSettings.Caption.Visible() && FSettings.Caption.Position() == TPanelCaption::cpRight;
    // Right-hand captions put the grip into the bottom-left corner.
    const auto x = [&](int Value) { return mirrored ? width() - 1 - Value : Value; };
    const auto line = [&](int x1, int y1, int x2, int y2) {
        Painter.drawLine(QPoint(x(x1), y1), QPoint(x(x2), y2));
    };
    Painter.save();
    Painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 2));
    line(R, B - 11, R - 11, B);
    line(R, B - 6, R - 7, B);
    line(R, B - 3, R - 3, B);
    Painter.setPen(QPen(Qt::white, 1));
    line(R, B - 12, R - 12, B);
    line(R, B - 8, R - 8, B);
    line(R, B - 4, R - 4, B);
    Painter.restore();
}

void TCustomGradientPanel::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    PartChanged();
}

int TCustomGradientPanel::CollapsedSize() const
{
    int size = CapHeight() - 2;
    if (FSettings.StatusBar.Visible())
        size += FSettings.StatusBar.Height();
    if (FSettings.BorderWidth > 0 && FSettings.BorderShadow)
        size += 2 * (FSettings.BorderWidth + 2);
    return qMax(0, size);
}

void TCustomGradientPanel::SetCollaps(bool Value)
{
    if (FIsCollapsing || Value == FCollaps)
        return;
    FIsCollapsing = true;
    Raise(Value ? OnMinimize : OnMaximize, this);
    TCollapsRun& run = FCollapsRun;
    run.Collapse = Value;
    run.Vertical = FSettings.Caption.Position() == TPanelCaption::cpTop;
    run.From = run.Vertical ? height() : width();
    run.Target = Value ? CollapsedSize() : FFullHeight;
    run.StepSize = FCollapsSteps > 0 ? (run.From - run.Target) / FCollapsSteps : 0;
    run.StepsDone = 0;
    if (Value)
        FFullHeight = run.From;
    if (FCollapsSteps > 1 && run.StepSize != 0) {
        run.Coloured = FSettings.CollapsColor != clNone;
        CollapsStep();
        FCollapsTimer.start(FSettings.CollapsDelay);
        return;
    }
    EndCollaps();
}

void TCustomGradientPanel::CollapsStep()
{
    TCollapsRun& run = FCollapsRun;
    if (run.StepsDone + 1 >= FCollapsSteps) {
        EndCollaps();
        return;
    }
    ++run.StepsDone;
    const int size = run.From - run.StepsDone * run.StepSize;
    run.Vertical ? resize(width(), size) : resize(size, height());
}

void TCustomGradientPanel::EndCollaps()
{
    FCollapsTimer.stop();
    TCollapsRun& run = FCollapsRun;
    run.Coloured = false;
    FCollaps = run.Collapse;
    if (FCollaps && FAutoHideChildren) {
        FHiddenChildren.clear();
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisibleTo(this)) {
                FHiddenChildren.append(child);
                child->hide();
            }
        }
    }
    run.Vertical ? resize(width(), run.Target) : resize(run.Target, height());
    if (!FCollaps && FAutoHideChildren) {
        for (const QPointer<QWidget>& child : FHiddenChildren)
            if (child)
                child->show();
        FHiddenChildren.clear();
    }
    FIsCollapsing = false;
    update();
    Raise(OnEndCollapsExpand, this);
}

TColor TCustomGradientPanel::FaceColor() const
{
    return FCollapsRun.Coloured ? FSettings.CollapsColor : FSettings.Color;
}

void TCustomGradientPanel::mousePressEvent(QMouseEvent* Event)
{
    const QPoint at = Event->position().toPoint();
    if (CloseButtonRect().contains(at) && Event->button() == Qt::LeftButton) {
        Raise(OnClose, this);
        if (FFreeOnClose)
            deleteLater();
        else
            hide();
        return;
    }
    if (MinMaxButtonRect().contains(at) && Event->button() == Qt::LeftButton) {
        SetCollaps(!FCollaps);
        return;
    }
    if (CaptionBarRect().contains(at)) {
        Raise(OnCaptionClick, this);
        return;
    }
    const QString anchor = FText.isEmpty()
        ? QString()
        : CaptionAnchorAt(font(), FText, PlacedTextRect(), TextOptions(), at);
    if (!anchor.isEmpty() && Event->button() == Qt::LeftButton) {
        FollowAnchor(*this, anchor, OnAnchorClick);
        return;
    }
    QWidget::mousePressEvent(Event);
}

void TCustomGradientPanel::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (CaptionBarRect().contains(Event->position().toPoint()) && OnCaptionDBlClick) {
        OnCaptionDBlClick(this);
        return;
    }
    QWidget::mouseDoubleClickEvent(Event);
}

void TCustomGradientPanel::mouseMoveEvent(QMouseEvent* Event)
{
    if (!FText.isEmpty())
        TrackAnchor(*this, FAnchor, CaptionAnchorAt(font(), FText, PlacedTextRect(), TextOptions(), Event->position().toPoint()),
            OnAnchorExit, OnAnchorEnter);
    QWidget::mouseMoveEvent(Event);
}

void TCustomGradientPanel::enterEvent(QEnterEvent* Event)
{
    QWidget::enterEvent(Event);
    Raise(OnMouseEnter, this);
}

void TCustomGradientPanel::leaveEvent(QEvent* Event)
{
    TrackAnchor(*this, FAnchor, QString(), OnAnchorExit, OnAnchorEnter);
    QWidget::leaveEvent(Event);
    Raise(OnMouseLeave, this);
}

bool TCustomGradientPanel::event(QEvent* Event)
{
    if (Event->type() == QEvent::ToolTip && FAnchorHint && !FAnchor.isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent*>(Event)->globalPos(), FAnchor, this);
        return true;
    }
    return QWidget::event(Event);
}
