#include "controls/GradientPanel.h"

#include "controls/CaptionLinks.h"
#include "controls/GradientDrawing.h"
#include "controls/Rounding.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QToolTip>

TCustomGradientPanel::TCustomGradientPanel(QWidget* Parent)
    : QWidget(Parent)
{
    resize(300, 200);
    setMouseTracking(true);
    const auto changed = [this] { PartChanged(); };
    FCaption.OnChange = changed;
    FStatusBar.OnChange = changed;
    PartChanged();
}

void TCustomGradientPanel::PartChanged()
{
    const QRect area = ChildArea();
    setContentsMargins(area.left(), area.top(), qMax(0, width() - area.right() - 1),
        qMax(0, height() - area.bottom() - 1));
    update();
}

TGradientPanelSettings TCustomGradientPanel::Settings() const
{
    TGradientPanelSettings settings;
    settings.Color = FColor;
    settings.ColorTo = FColorTo;
    settings.ColorMirror = FColorMirror;
    settings.ColorMirrorTo = FColorMirrorTo;
    settings.GradientDirection = FGradientDirection;
    settings.BevelOuter = FBevelOuter;
    settings.BevelInner = FBevelInner;
    settings.BevelWidth = FBevelWidth;
    settings.BorderWidth = FBorderWidth;
    settings.BorderColor = FBorderColor;
    settings.BorderShadow = FBorderShadow;
    settings.TextVAlign = FTextVAlign;
    settings.URLColor = FURLColor;
    settings.ShadowColor = FShadowColor;
    settings.ShadowOffset = FShadowOffset;
    settings.FontColor = FFontColor;
    settings.CollapsColor = FCollapsColor;
    settings.CollapsDelay = FCollapsDelay;
    settings.Caption = FCaption;
    settings.Caption.OnChange = nullptr; // a copy tells no panel about its changes
    settings.StatusBar = FStatusBar;
    settings.StatusBar.OnChange = nullptr;
    return settings;
}

void TCustomGradientPanel::AssignSettings(const TGradientPanelSettings& Settings)
{
    FColor = Settings.Color;
    FColorTo = Settings.ColorTo;
    FColorMirror = Settings.ColorMirror;
    FColorMirrorTo = Settings.ColorMirrorTo;
    FGradientDirection = Settings.GradientDirection;
    FBevelOuter = Settings.BevelOuter;
    FBevelInner = Settings.BevelInner;
    FBevelWidth = qMax(1, Settings.BevelWidth);
    FBorderWidth = qMax(0, Settings.BorderWidth);
    FBorderColor = Settings.BorderColor;
    FBorderShadow = Settings.BorderShadow;
    FTextVAlign = Settings.TextVAlign;
    FURLColor = Settings.URLColor;
    FShadowColor = Settings.ShadowColor;
    FShadowOffset = Settings.ShadowOffset;
    FFontColor = Settings.FontColor;
    FCollapsColor = Settings.CollapsColor;
    FCollapsDelay = qMax(0, Settings.CollapsDelay);
    const auto captionChanged = FCaption.OnChange;
    FCaption = Settings.Caption;
    FCaption.OnChange = captionChanged;
    const auto statusChanged = FStatusBar.OnChange;
    FStatusBar = Settings.StatusBar;
    FStatusBar.OnChange = statusChanged;
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
    return RoundEven(FCaption.Height() * logicalDpiY() / 96.0);
}

int TCustomGradientPanel::BevelTotal() const
{
    return (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
}

QRect TCustomGradientPanel::InsideBevels() const
{
    const int inset = BevelTotal();
    return rect().adjusted(inset, inset, -inset, -inset);
}

QRect TCustomGradientPanel::ChildArea() const
{
    const int inset = FBorderWidth + BevelTotal();
    QRect area = rect().adjusted(inset, inset, -inset, -inset);
    if (FCaption.Visible()) {
        const int bar = CapHeight() - 2;
        switch (FCaption.Position()) {
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
    if (FStatusBar.Visible()) {
        if (FCaption.Visible() && FCaption.Position() == TPanelCaption::cpLeft)
            area.setRight(area.right() - FStatusBar.Height());
        else if (FCaption.Visible() && FCaption.Position() == TPanelCaption::cpRight)
            area.setLeft(area.left() + FStatusBar.Height());
        else
            area.setBottom(area.bottom() - FStatusBar.Height());
    }
    return area;
}

QRect TCustomGradientPanel::CaptionBarRect() const
{
    if (!FCaption.Visible())
        return QRect();
    const QRect inside = InsideBevels();
    const int depth = qMax(0, CapHeight() - 2 * FBevelWidth);
    switch (FCaption.Position()) {
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
    if (bar.isEmpty() || !FCaption.CloseButton())
        return QRect();
    const int side = RoundEven(14 * logicalDpiY() / 96.0);
    if (FCaption.Position() != TPanelCaption::cpTop)
        return QRect(bar.left() + (bar.width() - side) / 2, bar.top() + 2, side, side);
    const int top = bar.top() + (bar.height() - side) / 2;
    if (FCaption.ButtonPosition() == TPanelCaption::cbpLeft)
        return QRect(bar.left() + 2, top, side, side);
    return QRect(bar.right() - 1 - side, top, side, side);
}

QRect TCustomGradientPanel::MinMaxButtonRect() const
{
    const QRect bar = CaptionBarRect();
    if (bar.isEmpty() || !FCaption.MinMaxButton())
        return QRect();
    const int side = RoundEven(14 * logicalDpiY() / 96.0);
    const int step = FCaption.CloseButton() ? side + 2 : 0;
    if (FCaption.Position() != TPanelCaption::cpTop)
        return QRect(bar.left() + (bar.width() - side) / 2, bar.top() + 2 + step, side, side);
    const int top = bar.top() + (bar.height() - side) / 2;
    if (FCaption.ButtonPosition() == TPanelCaption::cbpLeft)
        return QRect(bar.left() + 2 + step, top, side, side);
    return QRect(bar.right() - 1 - side - step, top, side, side);
}

QRect TCustomGradientPanel::StatusBarRect() const
{
    if (!FStatusBar.Visible())
        return QRect();
    int u = FBevelOuter != bvNone || FBevelInner != bvNone ? 2 : 1;
    if (FBorderShadow && FBorderWidth > 0)
        u += 2;
    return QRect(QPoint(u, height() - FStatusBar.Height() - 1), QPoint(width() - u - 1, height() - u - 1));
}

QRect TCustomGradientPanel::TextRect() const
{
    QRect area = rect();
    const QRect bar = CaptionBarRect();
    if (!bar.isEmpty()) {
        switch (FCaption.Position()) {
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
    const int inset = FBorderWidth + 1;
    area.adjust(inset, inset, -inset, -inset);
    if (FBorderShadow)
        area.adjust(0, 0, -2, -3);
    area.adjust(FIndent, FTopIndent, 0, -FBottomIndent);
    if (FStatusBar.Visible())
        area.setBottom(area.bottom() - FStatusBar.Height());
    return area;
}

TCaptionOptions TCustomGradientPanel::TextOptions() const
{
    TCaptionOptions options;
    options.WordWrap = !FEllipsis;
    options.Ellipsis = FEllipsis;
    options.LineSpacing = FLineSpacing;
    options.URLColor = ToQColor(FURLColor);
    options.ShadowColor = ToQColor(FShadowColor);
    options.ShadowOffset = FShadowOffset;
    return options;
}

QRect TCustomGradientPanel::PlacedTextRect() const
{
    QRect area = TextRect();
    if (FTextVAlign == tvaTop || FText.isEmpty())
        return area;
    const int textHeight = MeasureCaption(font(), FText, area, TextOptions()).Height;
    if (textHeight < area.height()) {
        if (FTextVAlign == tvaCenter)
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
    const qreal ratio = devicePixelRatioF();
    QImage buffer(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(Qt::transparent);
    {
        QPainter painter(&buffer);
        PaintPanel(painter);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, buffer);
}

void TCustomGradientPanel::PaintPanel(QPainter& Painter)
{
    const QRect client = rect();
    Painter.save();
    if (FColorTo == clNone)
        Painter.fillRect(client, ToQColor(FColor));
    else if (FColorMirror == clNone)
        DrawGradient(Painter, FColor, FColorTo, 128, client, FGradientDirection == gdHorizontal);
    else
        DrawMirrorGradient(Painter, FColor, FColorTo, FColorMirror, FColorMirrorTo, client,
            FGradientDirection == gdHorizontal);
    PaintBorderAndShadow(Painter);
    PaintBevels(Painter);
    PaintCaptionBar(Painter);
    PaintStatusBar(Painter);
    PaintBackgroundPicture(Painter);
    PaintText(Painter);
    PaintSizeGrip(Painter);
    Painter.restore();
    if (OnPaint)
        OnPaint(this, Painter, client);
}

void TCustomGradientPanel::PaintBorderAndShadow(QPainter& Painter)
{
    QRect working = rect();
    // The shadow sits inside the panel, so the border makes room for it.
    if (FBorderShadow)
        working.adjust(0, 0, -2, -2);
    if (FBorderColor != clNone && FBorderWidth > 0) {
        // A pen of width w centred on a rectangle shrunk by w div 2 covers the outer w pixels.
        const QColor color = ToQColor(FBorderColor);
        const int w = qMin(FBorderWidth, qMax(0, qMin(working.width(), working.height())));
        Painter.fillRect(QRect(working.left(), working.top(), working.width(), w), color);
        Painter.fillRect(QRect(working.left(), working.bottom() + 1 - w, working.width(), w), color);
        Painter.fillRect(QRect(working.left(), working.top(), w, working.height()), color);
        Painter.fillRect(QRect(working.right() + 1 - w, working.top(), w, working.height()), color);
    }
    if (!FBorderShadow)
        return;
    const int L = working.left();
    const int T = working.top();
    const int R = working.left() + working.width();
    const int B = working.top() + working.height();
    PolyLine(Painter, {QPoint(R, T + 1), QPoint(R, B), QPoint(L, B)},
        ToQColor(MixPanelColors(FBorderColor, clBtnFace, 50)));
    PolyLine(Painter, {QPoint(R + 1, T + 2), QPoint(R + 1, B + 1), QPoint(L, B + 1)},
        ToQColor(MixPanelColors(FBorderColor, clBtnFace, 20)));
}

void TCustomGradientPanel::PaintBevels(QPainter& Painter)
{
    QRect area = rect();
    const auto bevel = [&](TBevelCut Cut) {
        if (Cut == bvNone)
            return;
        if (Cut == bvLowered)
            Frame3D(Painter, area, clBtnShadow, clBtnHighlight, FBevelWidth);
        else
            Frame3D(Painter, area, clBtnHighlight, clBtnShadow, FBevelWidth);
    };
    bevel(FBevelOuter);
    if (FBorderColor == clNone)
        Frame3D(Painter, area, FColor, FColor, 1);
    bevel(FBevelInner);
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
    const TColor color = FCollaps ? FCaption.CloseColor() : FCaption.Color();
    if (FCaption.ColorTo() == clNone) {
        Painter.fillRect(bar, ToQColor(color));
    } else {
        const bool side = FCaption.Position() != TPanelCaption::cpTop;
        // Side captions run their gradient across the bar; the right-hand one is swapped.
        const bool horizontal = side ? true : FCaption.GradientDirection() == gdHorizontal;
        if (FCaption.Position() == TPanelCaption::cpRight)
            DrawGradient(Painter, FCaption.ColorTo(), color, 128, bar, horizontal);
        else
            DrawGradient(Painter, color, FCaption.ColorTo(), 128, bar, horizontal);
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
    drawButton(CloseButtonRect(), FCaption.CloseButtonColor(), true);
    drawButton(MinMaxButtonRect(), FCaption.MinMaxButtonColor(), false);
    if (FCaption.Text().isEmpty())
        return;
    const QRect textArea = bar.adjusted(FCaption.Indent() + 2, FCaption.TopIndent(), 0, 0);
    Painter.save();
    Painter.setClipRect(bar);
    TCaptionOptions options = TextOptions();
    options.WordWrap = false;
    RenderCaption(&Painter, font(), ToQColor(FCaption.FontColor()), FCaption.Text(), textArea, options);
    Painter.restore();
}

void TCustomGradientPanel::PaintStatusBar(QPainter& Painter)
{
    const QRect strip = StatusBarRect();
    if (strip.isEmpty())
        return;
    if (FStatusBar.Color() != clNone && FStatusBar.ColorTo() != clNone)
        DrawGradient(Painter, FStatusBar.Color(), FStatusBar.ColorTo(), 40, strip,
            FStatusBar.GradientDirection() == gdHorizontal);
    else if (FStatusBar.Color() != clNone)
        Painter.fillRect(strip, ToQColor(FStatusBar.Color()));
    if (!FStatusBar.Text().isEmpty()) {
        TCaptionOptions options = TextOptions();
        options.WordWrap = false;
        RenderCaption(&Painter, FStatusBar.Font(), ToQColor(FStatusBar.FontColor()), FStatusBar.Text(),
            strip.adjusted(2, FStatusBar.TopIndent(), -2, 0), options);
    }
    if (FStatusBar.BorderStyle() != bsNone) {
        QRect frame = strip;
        Frame3D(Painter, frame, FStatusBar.BorderColor(), FStatusBar.BorderColor(), 1);
    }
    if (FStatusBar.BevelInner()) {
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
    RenderCaption(&Painter, font(), ToQColor(FFontColor), FText, area, TextOptions());
    Painter.restore();
}

void TCustomGradientPanel::PaintSizeGrip(QPainter& Painter)
{
    if (!FCanSize || FCollaps)
        return;
    int R = width() - 1;
    int B = height() - 1;
    if (BevelTotal() > 0) {
        R -= 2 * FBevelWidth;
        B -= 2 * FBevelWidth;
    }
    if (FBorderShadow) {
        R -= 4;
        B -= 4;
    }
    const bool mirrored = FCaption.Visible() && FCaption.Position() == TPanelCaption::cpRight;
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
    if (FStatusBar.Visible())
        size += FStatusBar.Height();
    if (FBorderWidth > 0 && FBorderShadow)
        size += 2 * (FBorderWidth + 2);
    return qMax(0, size);
}

void TCustomGradientPanel::SetCollaps(bool Value)
{
    if (FIsCollapsing || Value == FCollaps)
        return;
    FIsCollapsing = true;
    if (Value && OnMinimize)
        OnMinimize(this);
    if (!Value && OnMaximize)
        OnMaximize(this);
    const bool vertical = FCaption.Position() == TPanelCaption::cpTop;
    const int current = vertical ? height() : width();
    const int target = Value ? CollapsedSize() : FFullHeight;
    if (Value)
        FFullHeight = current;
    const TColor keptColor = FColor;
    if (FCollapsSteps > 0) {
        if (FCollapsColor != clNone)
            FColor = FCollapsColor;
        const int step = (current - target) / FCollapsSteps;
        for (int i = 1; i < FCollapsSteps && step != 0; ++i) {
            const int size = current - i * step;
            vertical ? resize(width(), size) : resize(size, height());
            QCoreApplication::processEvents();
            QThread::msleep(static_cast<unsigned long>(FCollapsDelay));
        }
        FColor = keptColor;
    }
    FCollaps = Value;
    if (Value && FAutoHideChildren) {
        FHiddenChildren.clear();
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisibleTo(this)) {
                FHiddenChildren.append(child);
                child->hide();
            }
        }
    }
    vertical ? resize(width(), target) : resize(target, height());
    if (!Value && FAutoHideChildren) {
        for (const QPointer<QWidget>& child : FHiddenChildren)
            if (child)
                child->show();
        FHiddenChildren.clear();
    }
    FIsCollapsing = false;
    update();
    if (OnEndCollapsExpand)
        OnEndCollapsExpand(this);
}

void TCustomGradientPanel::mousePressEvent(QMouseEvent* Event)
{
    const QPoint at = Event->position().toPoint();
    if (CloseButtonRect().contains(at) && Event->button() == Qt::LeftButton) {
        if (OnClose)
            OnClose(this);
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
        if (OnCaptionClick)
            OnCaptionClick(this);
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
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TCustomGradientPanel::leaveEvent(QEvent* Event)
{
    TrackAnchor(*this, FAnchor, QString(), OnAnchorExit, OnAnchorEnter);
    QWidget::leaveEvent(Event);
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool TCustomGradientPanel::event(QEvent* Event)
{
    if (Event->type() == QEvent::ToolTip && FAnchorHint && !FAnchor.isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent*>(Event)->globalPos(), FAnchor, this);
        return true;
    }
    return QWidget::event(Event);
}
