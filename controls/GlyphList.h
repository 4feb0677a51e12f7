#pragma once

#include <QImage>
#include <QObject>
#include <QSize>

#include <deque>
#include <functional>
#include <vector>

class QPainter;

// A list of glyphs of one size, drawn by index. A button holds it through a QPointer, so a
// list destroyed elsewhere simply drops out of the button.
//
// A glyph is either one picture or a drawing: the drawing is asked for the glyph at each device
// pixel ratio the list is painted at, and the list keeps each answer, so a high-resolution
// screen gets glyphs drawn for it instead of enlarged ones.
class TGlyphList : public QObject
{
    Q_OBJECT

public:
    // Returns the glyph drawn at a device pixel ratio, GlyphSize() × Ratio pixels large.
    using TDrawing = std::function<QImage(qreal Ratio)>;

    explicit TGlyphList(QSize GlyphSize, QObject* Owner = nullptr);

    QSize GlyphSize() const { return FGlyphSize; }
    int Count() const { return static_cast<int>(FGlyphs.size()); }
    // Adds an image scaled to the list's size; returns its index.
    int Add(const QImage& Glyph);
    // Adds a glyph drawn in code; returns its index.
    int Add(TDrawing Drawing);
    bool ValidIndex(int Index) const { return Index >= 0 && Index < Count(); }
    // Draws one glyph at the painter's device resolution; a disabled glyph is drawn greyed. An
    // index out of range draws nothing.
    void Draw(QPainter& Canvas, int X, int Y, int Index, bool Enabled) const;

private:
    struct TGlyph
    {
        TDrawing Drawing;
        // The glyph per device pixel ratio; the first is for ratio 1.
        mutable std::deque<QImage> Scaled;
    };

    const QImage& GlyphAt(const TGlyph& Glyph, qreal Ratio) const;

    QSize FGlyphSize;
    std::vector<TGlyph> FGlyphs;
};
