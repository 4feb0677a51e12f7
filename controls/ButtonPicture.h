#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

// A picture held as the bytes of an image file (BMP, PNG or any format Qt reads). The bytes are
// decoded on first use; a BMP gets its bottom-left pixel's colour keyed out, as glyph bitmaps
// expect.
class TButtonPicture
{
public:
    bool Empty() const { return FData.isEmpty(); }
    const QByteArray& Data() const { return FData; }
    void LoadFromData(const QByteArray& Data);
    // Returns false when the file cannot be read; the picture is then left unchanged.
    bool LoadFromFile(const QString& FileName);
    void Assign(const TButtonPicture& Source) { LoadFromData(Source.FData); }
    void Clear() { LoadFromData(QByteArray()); }

    // The decoded image ready to draw (keyed for a BMP); null when the bytes do not decode.
    const QImage& Image() const;
    bool IsBitmap() const;
    int Width() const { return Image().width(); }
    int Height() const { return Image().height(); }

    std::function<void(TButtonPicture* Sender)> OnChange;

private:
    void Decode() const;

    QByteArray FData;
    mutable bool FDecoded = false;
    mutable bool FIsBitmap = false;
    mutable QImage FImage;
};
