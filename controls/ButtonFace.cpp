#include "controls/ButtonFace.h"

#include "controls/ButtonFaceContent.h"
#include "controls/DeviceRatio.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace {

QColor FaceColor(TColor Color)
{
    return QColor::fromRgba(ColorToARGB(Color));
}

// A 1-pixel outline pen; mitred corners fill the corner pixel of a square frame.
QPen OutlinePen(TColor Color)
{
    QPen Pen(FaceColor(Color), 1.0);
    Pen.setJoinStyle(Qt::MiterJoin);
    return Pen;
}

// Outline pixels sit on whole coordinates here; a 1-pixel pen covers them exactly when the path
// runs through the pixel centres.
constexpr qreal PixelCentre = 0.5;

QPainterPath RoundRectPath(qreal X, qreal Y, qreal W, qreal H, qreal r)
{
    const qreal d = 2 * r;
    QPainterPath Path;
    Path.moveTo(X + r, Y);
    Path.lineTo(X + W - d, Y);
    Path.arcTo(QRectF(X + W - d, Y, d, d), 90, -90);
    Path.lineTo(X + W, Y + r);
    Path.lineTo(X + W, Y + H - d);
    Path.arcTo(QRectF(X + W - d, Y + H - d, d, d), 0, -90);
    Path.lineTo(X + W - d, Y + H);
    Path.lineTo(X + r, Y + H);
    Path.arcTo(QRectF(X, Y + H - d, d, d), -90, -90);
    Path.lineTo(X, Y + H - d);
    Path.lineTo(X, Y + r);
    Path.arcTo(QRectF(X, Y, d, d), 180, -90);
    Path.closeSubpath();
    return Path;
}

// One button's piece of the frame of a joined row: only the row's outer ends are rounded, and
// the seam between two buttons is drawn once, by the left one.
QPainterPath RowPiecePath(TButtonPosition Position, qreal X, qreal Y, qreal W, qreal H, qreal r)
{
    const qreal d = 2 * r;
    QPainterPath Path;
    switch (Position) {
    case bpLeft:
        Path.moveTo(X + W, Y);
        Path.lineTo(X + r, Y);
        if (r > 0)
            Path.arcTo(QRectF(X, Y, d, d), 90, 90);
        Path.lineTo(X, Y + H - r);
        if (r > 0)
            Path.arcTo(QRectF(X, Y + H - d, d, d), 180, 90);
        Path.lineTo(X + W, Y + H);
        Path.closeSubpath();
        break;
    case bpMiddle:
        Path.moveTo(X, Y);
        Path.lineTo(X + W, Y);
        Path.lineTo(X + W, Y + H);
        Path.lineTo(X, Y + H);
        break;
    case bpRight:
    case bpStandalone:
        Path.moveTo(X, Y);
        Path.lineTo(X + W - r, Y);
        if (r > 0)
            Path.arcTo(QRectF(X + W - d, Y, d, d), 90, -90);
        Path.lineTo(X + W, Y + H - r);
        if (r > 0)
            Path.arcTo(QRectF(X + W - d, Y + H - d, d, d), 0, -90);
        Path.lineTo(X, Y + H);
        break;
    }
    return Path;
}

void DrawBorder(QPainter& Canvas, const TButtonFace& Face)
{
    const QRect& R = Face.Rect;
    const int Radius = Face.Rounded ? 3 : 0;
    if (Face.Position == bpStandalone) {
        DrawRoundRect(Canvas, Face.BorderColor, R.left(), R.top(), R.width() - 1, R.height() - 1, Radius);
        return;
    }
    if (Face.BorderColor == clNone)
        return;
    Canvas.save();
    Canvas.setPen(OutlinePen(Face.BorderColor));
    Canvas.setBrush(Qt::NoBrush);
    Canvas.translate(PixelCentre, PixelCentre);
    Canvas.drawPath(RowPiecePath(Face.Position, R.left(), R.top(), R.width() - 1, R.height() - 1, Radius));
    Canvas.restore();
}

void DrawFocusFrame(QPainter& Canvas, const TButtonFace& Face)
{
    const QRect& R = Face.Rect;
    const int L = R.left(), T = R.top(), Right = R.left() + R.width(), B = R.top() + R.height();
    const int Radius = Face.Rounded ? 3 : 0;
    DrawRoundRect(Canvas, Face.FocusColor, L + 1, T + 1, Right - 3, B - 3, Radius);
    if (Right - 5 <= 0 || B - 5 <= 0)
        return;
    QPen Dots = OutlinePen(clGray);
    Dots.setDashPattern({1.0, 1.0});
    Canvas.save();
    Canvas.setPen(Dots);
    Canvas.setBrush(Qt::NoBrush);
    Canvas.translate(PixelCentre, PixelCentre);
    if (Radius == 0)
        Canvas.drawRect(QRectF(L + 2, T + 2, Right - 5, B - 5));
    else
        Canvas.drawPath(RoundRectPath(L + 2, T + 2, Right - 5, B - 5, Radius));
    Canvas.restore();
}

void DrawDropDownArrow(QPainter& Canvas, const TButtonFace& Face)
{
    const QRect& R = Face.Rect;
    const int Size = std::max(1, Face.DropDownSize);
    const int Lines = std::max(1, (Size * 3 + 7) / 14);
    QPoint Centre;
    Canvas.save();
    Canvas.setRenderHint(QPainter::Antialiasing, true);
    if (Face.DropDownSplit && Face.BorderColor != clNone) {
        Canvas.setPen(QPen(FaceColor(Face.BorderColor), 1.0));
        if (Face.DropDownPosition == dpRight) {
            const qreal x = R.right() - Size + PixelCentre;
            Canvas.drawLine(QPointF(x, R.top() + 2), QPointF(x, R.bottom() - 2));
        } else {
            const qreal y = R.bottom() - Size + PixelCentre;
            Canvas.drawLine(QPointF(R.left() + 2, y), QPointF(R.right() - 2, y));
        }
    }
    if (Face.DropDownPosition == dpRight)
        Centre = QPoint(R.right() - Size / 2, R.top() + R.height() / 2);
    else
        Centre = QPoint(R.left() + R.width() / 2, R.bottom() - Size / 2);
    QColor Arrow = Face.Enabled ? QColor(0, 0, 0) : FaceColor(clGray);
    Arrow.setAlpha(200);
    Canvas.setPen(QPen(Arrow, 1.0));
    for (int i = 0; i < Lines; ++i) {
        const qreal y = Centre.y() - Lines / 2 + i + PixelCentre;
        Canvas.drawLine(QPointF(Centre.x() - (Lines - i) + 1, y), QPointF(Centre.x() + (Lines - i), y));
    }
    Canvas.restore();
}

// The two halves, the lower one first so that the upper one covers the row both share; then the
// border, anti-aliased.
void DrawFills(QPainter& P, const TButtonFace& Face, TColor M1, TColor M2, bool WithBorder)
{
    const QRect& R = Face.Rect;
    const int L = R.left(), T = R.top(), B = R.top() + R.height();
    const int Half = (B - T) / 2;
    P.save();
    P.setRenderHint(QPainter::Antialiasing, false);
    FillGlowHalf(P, QRect(L, T + Half - 1, R.width(), B - (T + Half - 1)), M2, M1, Face.LowerKind, false);
    FillGlowHalf(P, QRect(L, T, R.width(), (B - Half) - T), Face.U1, Face.U2, Face.UpperKind, true);
    P.setRenderHint(QPainter::Antialiasing, true);
    if (WithBorder)
        DrawBorder(P, Face);
    P.restore();
}

void DrawCachedFills(QPainter& P, const TButtonFace& Face, TColor M1, TColor M2, bool WithBorder)
{
    TButtonFaceCache& Cache = *Face.Cache;
    const qreal Ratio = PaintRatio(P);
    const TButtonFaceCache::TKey Key{Face.Rect.size(), Ratio, Face.U1, Face.U2, M1, M2, Face.BorderColor,
                                     Face.UpperKind, Face.LowerKind, Face.Rounded, WithBorder, Face.Position};
    if (!(Key == Cache.Key) || Cache.Image.isNull()) {
        Cache.Image = DeviceImage(Face.Rect.size(), Ratio);
        QPainter Fills(&Cache.Image);
        TButtonFace AtOrigin = Face;
        AtOrigin.Rect.moveTo(0, 0);
        DrawFills(Fills, AtOrigin, M1, M2, WithBorder);
        Cache.Key = Key;
    }
    P.drawImage(Face.Rect.topLeft(), Cache.Image);
}

} // namespace

std::uint32_t ColorToARGB(TColor Color)
{
    if (Color == clNone)
        return 0;
    const TColor Rgb = ColorToRGB(Color);
    return 0xFF000000u | (std::uint32_t(GetRValue(Rgb)) << 16) | (std::uint32_t(GetGValue(Rgb)) << 8)
           | std::uint32_t(GetBValue(Rgb));
}

void FillGlowHalf(QPainter& Canvas, const QRect& Rect, TColor C1, TColor C2, TGDIPGradient Kind, bool Upper)
{
    const int w = Rect.width(), h = Rect.height();
    if (w <= 0 || h <= 0)
        return;
    if (C2 == clNone)
        C2 = C1;
    else if (C1 == clNone)
        C1 = C2;
    const int L = Rect.left(), T = Rect.top(), B = T + h;

    // Every kind covers the whole rectangle: the linear ones end in their two colours, and the
    // glow's surround colour is the half's base colour, which the gradient keeps beyond the
    // ellipse. So a separate base fill would be painted over everywhere and is left out.
    switch (Kind) {
    case ggVertical: {
        QLinearGradient Gradient(QPointF(0, T), QPointF(0, B));
        Gradient.setColorAt(0, FaceColor(C1));
        Gradient.setColorAt(1, FaceColor(C2));
        Canvas.fillRect(Rect, Gradient);
        break;
    }
    case ggDiagonalForward:
    case ggDiagonalBackward: {
        // Drawn in a unit square stretched over the rectangle, so the colour lines run parallel
        // to the other diagonal whatever the rectangle's proportions.
        const bool Forward = Kind == ggDiagonalForward;
        QLinearGradient Gradient(QPointF(Forward ? 0 : 1, 0), QPointF(Forward ? 1 : 0, 1));
        Gradient.setColorAt(0, FaceColor(C1));
        Gradient.setColorAt(1, FaceColor(C2));
        QBrush Brush(Gradient);
        Brush.setTransform(QTransform::fromTranslate(L, T).scale(w, h));
        Canvas.fillRect(Rect, Brush);
        break;
    }
    case ggRadial: {
        // A glow from a point on the outer edge out to an ellipse: in the ellipse's unit circle
        // this is a radial gradient whose focal point is that edge point. Each colour is reached
        // at the same fraction of the way from that point to the ellipse along every ray.
        const QRectF Ellipse = Upper ? QRectF(L, T - h / 2 + 2, w, h) : QRectF(L, T, w, h);
        const QPointF Centre(L + w / 2, Upper ? T : B);
        const qreal rx = w / 2.0, ry = h / 2.0;
        const QPointF Focal((Centre.x() - Ellipse.center().x()) / rx, (Centre.y() - Ellipse.center().y()) / ry);
        QRadialGradient Gradient(QPointF(0, 0), 1.0, Focal);
        Gradient.setColorAt(0, FaceColor(Upper ? C2 : C1));
        Gradient.setColorAt(1, FaceColor(Upper ? C1 : C2));
        QBrush Brush(Gradient);
        Brush.setTransform(QTransform::fromTranslate(Ellipse.center().x(), Ellipse.center().y()).scale(rx, ry));
        Canvas.fillRect(Rect, Brush);
        break;
    }
    }
}

void DrawRoundRect(QPainter& Canvas, TColor Color, int X, int Y, int W, int H, int Radius)
{
    if (Color == clNone || W < 0 || H < 0)
        return;
    Canvas.save();
    Canvas.setPen(OutlinePen(Color));
    Canvas.setBrush(Qt::NoBrush);
    if (Radius <= 0) {
        // On whole pixels a square frame is the same smoothed or not, and the aliased one gets
        // its corner pixels complete.
        Canvas.setRenderHint(QPainter::Antialiasing, false);
        Canvas.drawRect(QRect(X, Y, W, H));
    } else {
        Canvas.translate(PixelCentre, PixelCentre);
        Canvas.drawPath(RoundRectPath(X, Y, W, H, Radius));
    }
    Canvas.restore();
}

QSize DrawButtonFace(QPainter* Canvas, const TButtonFace& Face)
{
    if (Face.MeasureOnly || !Canvas)
        return DrawFaceContent(Canvas, Face);
    if (Face.Rect.width() <= 0 || Face.Rect.height() <= 0)
        return QSize(0, 0);

    QPainter& P = *Canvas;
    P.save();
    P.setClipRect(Face.Rect, Qt::IntersectClip);
    TColor M1 = Face.M1, M2 = Face.M2;
    if (M2 == clNone && M1 == clNone)
        M2 = Face.U1;
    if (M1 == clNone)
        M1 = Face.U1;

    if (!Face.SkipFace || Face.DroppedDown || Face.Down) {
        const bool WithBorder = Face.DrawBorder && (!Face.NoBorderDefault || Face.PointerOver || Face.DroppedDown);
        if (Face.Cache)
            DrawCachedFills(P, Face, M1, M2, WithBorder);
        else
            DrawFills(P, Face, M1, M2, WithBorder);
    }
    P.setRenderHint(QPainter::Antialiasing, true);
    if (Face.FocusFrame)
        DrawFocusFrame(P, Face);
    const QSize Content = DrawFaceContent(&P, Face);
    if (Face.DropDownButton)
        DrawDropDownArrow(P, Face);
    P.restore();
    return Content;
}
