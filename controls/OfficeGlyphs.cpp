#include "controls/OfficeGlyphs.h"

#include <QPainter>

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

} // namespace

QImage RadioGlyphBitmap(bool Checked, TGlyphPointerState Pointer)
{
    QImage bitmap = BlankBitmap(RadioGlyphSize);
    const double centre = (RadioGlyphSize - 1) / 2.0;
    for (int y = 0; y < RadioGlyphSize; ++y) {
        for (int x = 0; x < RadioGlyphSize; ++x) {
            const double distance = std::hypot(x - centre, y - centre);
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

QImage CheckGlyphBitmap(TCheckBoxState State, TGlyphPointerState Pointer)
{
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
