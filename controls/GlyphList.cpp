#include "controls/GlyphList.h"

#include "controls/DeviceRatio.h"

#include <QPainter>

namespace {

// Brings an image to exactly Size pixels in the list's pixel format.
QImage Fitted(const QImage& Glyph, QSize Size)
{
    if (Glyph.isNull()) {
        QImage Blank(Size, QImage::Format_ARGB32_Premultiplied);
        Blank.fill(Qt::transparent);
        return Blank;
    }
    return Glyph.scaled(Size).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

TGlyphList::TGlyphList(QSize GlyphSize, QObject* Owner)
    : QObject(Owner), FGlyphSize(GlyphSize.expandedTo(QSize(1, 1)))
{
}

int TGlyphList::Add(const QImage& Glyph)
{
    TGlyph Entry;
    Entry.Scaled.push_back(Fitted(Glyph, FGlyphSize));
    FGlyphs.push_back(std::move(Entry));
    return Count() - 1;
}

int TGlyphList::Add(TDrawing Drawing)
{
    if (!Drawing)
        return Add(QImage());
    TGlyph Entry;
    Entry.Scaled.push_back(Fitted(Drawing(1.0), FGlyphSize));
    Entry.Drawing = std::move(Drawing);
    FGlyphs.push_back(std::move(Entry));
    return Count() - 1;
}

const QImage& TGlyphList::GlyphAt(const TGlyph& Glyph, qreal Ratio) const
{
    if (!Glyph.Drawing || qFuzzyCompare(Ratio, 1.0) || Ratio <= 0)
        return Glyph.Scaled.front();
    for (const QImage& Scaled : Glyph.Scaled)
        if (qFuzzyCompare(Scaled.devicePixelRatio(), Ratio))
            return Scaled;
    QImage Drawn = Fitted(Glyph.Drawing(Ratio),
                          QSize(DevicePixels(FGlyphSize.width(), Ratio), DevicePixels(FGlyphSize.height(), Ratio)));
    Drawn.setDevicePixelRatio(Ratio);
    Glyph.Scaled.push_back(std::move(Drawn));
    return Glyph.Scaled.back();
}

void TGlyphList::Draw(QPainter& Canvas, int X, int Y, int Index, bool Enabled) const
{
    if (!ValidIndex(Index))
        return;
    const QImage& Glyph = GlyphAt(FGlyphs[static_cast<size_t>(Index)], PaintRatio(Canvas));
    // The image's own pixel ratio gives its size on the canvas.
    if (Enabled) {
        Canvas.drawImage(X, Y, Glyph);
        return;
    }
    // The list's own disabled form: the glyph in grey tones at half strength.
    QImage Grey = Glyph.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < Grey.height(); ++y) {
        auto* Line = reinterpret_cast<QRgb*>(Grey.scanLine(y));
        for (int x = 0; x < Grey.width(); ++x) {
            const int Level = qGray(Line[x]);
            Line[x] = qRgba(Level, Level, Level, qAlpha(Line[x]) / 2);
        }
    }
    Grey.setDevicePixelRatio(Glyph.devicePixelRatio());
    Canvas.drawImage(X, Y, Grey);
}
