#include "controls/OfficeGlyphs.h"

#include "controls/DeviceRatio.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QRgb TransparentKey = qRgb(255, 0, 255);
const QRgb InkColor = qRgb(33, 33, 33);

QRgb FrameColor(TGlyphPointerState Pointer)
{
    return Pointer == gpNormal ? qRgb(112, 112, 112) : qRgb(51, 153, 255);
}

QRgb FaceColor(TGlyphPointerState Pointer)
{
    switch (Pointer) {
    case gpHot:
        return qRgb(232, 242, 254);
    case gpPressed:
        return qRgb(204, 228, 247);
    case gpNormal:
        break;
    }
    return qRgb(255, 255, 255);
}

QImage BlankBitmap(int Size)
{
    QImage bitmap(Size, Size, QImage::Format_RGB32);
    bitmap.fill(TransparentKey);
    return bitmap;
}

// The check box's bitmap as shapes on its 13-pixel design grid, filled at the size asked for
// without smoothing: box and frame, the inner square, and the tick as the band the bitmap's
// two-pixel staircase follows.
QImage DrawnCheckGlyph(TCheckBoxState State, TGlyphPointerState Pointer, int Pixels)
{
    QImage bitmap = BlankBitmap(Pixels);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const qreal unit = qreal(Pixels) / CheckGlyphSize;
    painter.scale(unit, unit);
    const int box = CheckGlyphSize - 1; // the last row and column stay transparent
    painter.fillRect(QRectF(0, 0, box, box), QColor(FrameColor(Pointer)));
    painter.fillRect(QRectF(1, 1, box - 2, box - 2), QColor(FaceColor(Pointer)));
    if (State == cbChecked) {
        const QPolygonF tick({QPointF(2, 5), QPointF(4.5, 7.5), QPointF(10, 2), QPointF(10, 4), QPointF(4.5, 9.5),
            QPointF(2, 7)});
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(InkColor));
        painter.drawPolygon(tick);
    } else if (State == cbGrayed) {
        painter.fillRect(QRectF(3, 3, box - 6, box - 6), QColor(qRgb(96, 96, 96)));
    }
    return bitmap;
}

} // namespace

QImage RadioGlyphBitmap(bool Checked, TGlyphPointerState Pointer, int Pixels)
{
    // Rings measured from the centre in design pixels, so any size shows the same round button.
    const int size = std::max(Pixels, RadioGlyphSize);
    const double unit = double(size) / RadioGlyphSize;
    QImage bitmap = BlankBitmap(size);
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double distance = std::hypot(x - centre, y - centre) / unit;
            if (Checked && distance <= 2.3)
                bitmap.setPixel(x, y, InkColor);
            else if (distance <= 4.3)
                bitmap.setPixel(x, y, FaceColor(Pointer));
            else if (distance <= 5.6)
                bitmap.setPixel(x, y, FrameColor(Pointer));
        }
    }
    return bitmap;
}

QImage CheckGlyphBitmap(TCheckBoxState State, TGlyphPointerState Pointer, int Pixels)
{
    if (Pixels > CheckGlyphSize)
        return DrawnCheckGlyph(State, Pointer, Pixels);
    QImage bitmap = BlankBitmap(CheckGlyphSize);
    const int box = CheckGlyphSize - 1; // the last row and column stay transparent
    for (int y = 0; y < box; ++y) {
        for (int x = 0; x < box; ++x) {
            const bool edge = x == 0 || y == 0 || x == box - 1 || y == box - 1;
            bitmap.setPixel(x, y, edge ? FrameColor(Pointer) : FaceColor(Pointer));
        }
    }
    if (State == cbChecked) {
        static constexpr int TickX[] = {2, 3, 4, 5, 6, 7, 8, 9};
        static constexpr int TickY[] = {5, 6, 7, 6, 5, 4, 3, 2};
        for (int i = 0; i < 8; ++i) {
            bitmap.setPixel(TickX[i], TickY[i], InkColor);
            bitmap.setPixel(TickX[i], TickY[i] + 1, InkColor);
        }
    } else if (State == cbGrayed) {
        for (int y = 3; y < box - 3; ++y)
            for (int x = 3; x < box - 3; ++x)
                bitmap.setPixel(x, y, qRgb(96, 96, 96));
    }
    return bitmap;
}

QImage TransparentGlyph(const QImage& Bitmap)
{
    QImage glyph = Bitmap.convertToFormat(QImage::Format_ARGB32);
    if (glyph.isNull())
        return glyph;
    const QRgb key = glyph.pixel(0, glyph.height() - 1);
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            if (glyph.pixel(x, y) == key)
                glyph.setPixel(x, y, qRgba(0, 0, 0, 0));
    return glyph;
}

void DrawGlyph(QPainter& Painter, const QImage& Bitmap, const QRect& Target)
{
    Painter.save();
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    Painter.drawImage(Target, TransparentGlyph(Bitmap));
    Painter.restore();
}

int GlyphPixels(const QPainter& Painter, int Side)
{
    return qRound(Side * PaintRatio(Painter));
}
