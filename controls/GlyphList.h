#pragma once

#include <QImage>
#include <QObject>
#include <QSize>

#include <vector>

class QPainter;

// A list of glyphs of one size, drawn by index. A button holds it through a QPointer, so a
// list destroyed elsewhere simply drops out of the button.
class TGlyphList : public QObject
{
    Q_OBJECT

public:
    explicit TGlyphList(QSize GlyphSize, QObject* Owner = nullptr);

    QSize GlyphSize() const { return FGlyphSize; }
    int Count() const { return static_cast<int>(FGlyphs.size()); }
    // Adds an image scaled to the list's size; returns its index.
    int Add(const QImage& Glyph);
    bool ValidIndex(int Index) const { return Index >= 0 && Index < Count(); }
    // Draws one glyph; a disabled glyph is drawn greyed. An index out of range draws nothing.
    void Draw(QPainter& Canvas, int X, int Y, int Index, bool Enabled) const;

private:
    QSize FGlyphSize;
    std::vector<QImage> FGlyphs;
};
