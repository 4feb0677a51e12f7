#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <deque>

// A picture held as the bytes of an image file (BMP, PNG or any format Qt reads). The bytes are
// decoded on first use; a BMP gets its bottom-left pixel's colour keyed out, as glyph bitmaps
// expect.
//
// A picture may also be drawn in code: the drawing gives the image file's bytes for a device
// pixel ratio, drawn at that ratio's resolution, so a high-resolution screen shows the picture
// drawn for it instead of the bytes for ratio 1 enlarged. Its bytes for ratio 1 are the
// picture's bytes (Data()).
class TButtonPicture
{
public:
    using TDrawing = std::function<QByteArray(qreal Ratio)>;

    bool Empty() const { return FData.isEmpty(); }
    const QByteArray& Data() const { return FData; }
    void LoadFromData(const QByteArray& Data);
    void LoadFromDrawing(TDrawing Drawing);
    bool Drawn() const { return bool(FDrawing); }
    // Returns false when the file cannot be read; the picture is then left unchanged.
    bool LoadFromFile(const QString& FileName);
    void Assign(const TButtonPicture& Source);
    void Clear() { LoadFromData(QByteArray()); }

    // The decoded image ready to draw (keyed for a BMP); null when the bytes do not decode.
    const QImage& Image() const;
    // The image to show on a device of the given pixel ratio: drawn at that ratio, with the
    // ratio set on it, when the picture is drawn in code; else the image for ratio 1.
    const QImage& Image(qreal Ratio) const;
    bool IsBitmap() const;
    // The picture's size in logical pixels (that of its image for ratio 1).
    int Width() const { return Image().width(); }
    int Height() const { return Image().height(); }

    std::function<void(TButtonPicture* Sender)> OnChange;

private:
    struct TScaled
    {
        qreal Ratio;
        QImage Image;
    };

    void Decode() const;
    void Load(const QByteArray& Data, TDrawing Drawing);

    QByteArray FData;
    TDrawing FDrawing;
    mutable bool FDecoded = false;
    mutable bool FIsBitmap = false;
    mutable QImage FImage;
    // The drawings for the ratios asked for so far; only a screen change adds one.
    mutable std::deque<TScaled> FScaled; // a deque keeps handed-out images in place
};
