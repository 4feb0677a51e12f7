#include "controls/GradientDrawing.h"

#include "controls/Rounding.h"

#include <QList>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QColor BandColor(TColor From, TColor To, int Steps, int Band)
{
    const auto channel = [&](int from, int to) {
        const double delta = double(to - from) / Steps;
        return std::clamp(from + RoundEven(Band * delta), 0, 255);
    };
    return QColor(channel(GetRValue(From), GetRValue(To)), channel(GetGValue(From), GetGValue(To)),
        channel(GetBValue(From), GetBValue(To)));
}

} // namespace

void DrawGradient(QPainter& Painter, TColor From, TColor To, int Steps, const QRect& Rect, bool Horizontal)
{
    if (Steps <= 0)
        Steps = 1;
    const TColor from = ColorToRGB(From) == clNone ? 0 : ColorToRGB(From);
    const TColor to = ColorToRGB(To) == clNone ? from : ColorToRGB(To);
    const int L = Rect.left();
    const int T = Rect.top();
    const int R = Rect.left() + Rect.width(); // exclusive
    const int B = Rect.top() + Rect.height(); // exclusive
    const double d = double(Horizontal ? R - L : B - T) / Steps;
    if (d <= 0)
        return;
    const int bandSize = int(std::trunc(d)) + 1;
    for (int n = 0; n < Steps; ++n) {
        const int off = RoundEven(n * d);
        QRect band;
        if (Horizontal)
            band = QRect(QPoint(L + off, T), QPoint(std::min(R, L + off + bandSize) - 1, B - 1));
        else
            band = QRect(QPoint(L, T + off), QPoint(R - 1, std::min(B, T + off + bandSize) - 1));
        if (band.isValid())
            Painter.fillRect(band, BandColor(from, to, Steps, n));
    }
}

void DrawMirrorGradient(QPainter& Painter, TColor From, TColor To, TColor MirrorFrom,
    TColor MirrorTo, const QRect& Rect, bool Horizontal)
{
    QRect first = Rect;
    QRect second = Rect;
    if (Horizontal) {
        const int middle = Rect.left() + Rect.width() / 2;
        first.setRight(middle - 1);
        second.setLeft(middle);
    } else {
        const int middle = Rect.top() + Rect.height() / 2;
        first.setBottom(middle - 1);
        second.setTop(middle);
    }
    DrawGradient(Painter, From, To, 32, first, Horizontal);
    DrawGradient(Painter, MirrorFrom, MirrorTo, 32, second, Horizontal);
}

TColor MixPanelColors(TColor C1, TColor C2, int Percent)
{
    if (Percent == 100)
        return C1;
    if (C1 == clNone)
        C1 = C2;
    if (C2 == clNone)
        C2 = C1;
    if (C1 == clNone)
        return clNone;
    const TColor c1 = ColorToRGB(C1);
    const TColor c2 = ColorToRGB(C2);
    const double p = Percent / 100.0;
    const auto mix = [p](int a, int b) { return std::clamp(RoundEven(p * a + (1 - p) * b), 0, 255); };
    return RGBColor(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)),
        mix(GetBValue(c1), GetBValue(c2)));
}

void Frame3D(QPainter& Painter, QRect& Rect, TColor Light, TColor Dark, int Width)
{
    const QColor light = ToQColor(Light);
    const QColor dark = ToQColor(Dark);
    for (int ring = 0; ring < Width; ++ring) {
        if (Rect.width() <= 0 || Rect.height() <= 0)
            return;
        const int L = Rect.left();
        const int T = Rect.top();
        const int R = Rect.right();
        const int B = Rect.bottom();
        Painter.fillRect(QRect(QPoint(L, T), QPoint(L, B)), light);
        Painter.fillRect(QRect(QPoint(L, T), QPoint(R, T)), light);
        Painter.fillRect(QRect(QPoint(R, T), QPoint(R, B)), dark);
        Painter.fillRect(QRect(QPoint(L, B), QPoint(R, B)), dark);
        Rect.adjust(1, 1, -1, -1);
    }
}

void PolyLine(QPainter& Painter, const QList<QPoint>& Points, const QColor& Color)
{
    for (qsizetype i = 0; i + 1 < Points.size(); ++i) {
        const QPoint a = Points[i];
        const QPoint b = Points[i + 1];
        const bool last = i + 2 == Points.size();
        QPoint end = b;
        if (last) { // the final point itself is not drawn
            if (a.x() == b.x())
                end.ry() += b.y() > a.y() ? -1 : 1;
            else
                end.rx() += b.x() > a.x() ? -1 : 1;
            if ((a.x() == b.x() && (end.y() - a.y()) * (b.y() - a.y()) < 0)
                || (a.y() == b.y() && (end.x() - a.x()) * (b.x() - a.x()) < 0))
                continue;
        }
        Painter.fillRect(QRect(QPoint(std::min(a.x(), end.x()), std::min(a.y(), end.y())),
                             QPoint(std::max(a.x(), end.x()), std::max(a.y(), end.y()))),
            Color);
    }
}
