#include "controls/GlyphList.h"

#include <QPainter>

TGlyphList::TGlyphList(QSize GlyphSize, QObject* Owner)
    : QObject(Owner), FGlyphSize(GlyphSize.expandedTo(QSize(1, 1)))
{
}

int TGlyphList::Add(const QImage& Glyph)
{
    QImage Scaled = Glyph.isNull() ? QImage(FGlyphSize, QImage::Format_ARGB32_Premultiplied)
                                   : Glyph.scaled(FGlyphSize).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (Glyph.isNull())
        Scaled.fill(Qt::transparent);
    FGlyphs.push_back(std::move(Scaled));
    return Count() - 1;
}

void TGlyphList::Draw(QPainter& Canvas, int X, int Y, int Index, bool Enabled) const
{
    if (!ValidIndex(Index))
        return;
    const QImage& Glyph = FGlyphs[static_cast<size_t>(Index)];
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
    Canvas.drawImage(X, Y, Grey);
}
