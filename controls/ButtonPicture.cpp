#include "controls/ButtonPicture.h"

#include "controls/ControlSupport.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace {

// The image in an image file's bytes, keyed for a BMP; null when they do not decode.
QImage DecodePicture(const QByteArray& Data, bool& IsBitmap)
{
    IsBitmap = false;
    if (Data.isEmpty())
        return QImage();
    QBuffer Buffer;
    Buffer.setData(Data);
    Buffer.open(QIODevice::ReadOnly);
    QImageReader Reader(&Buffer);
    // Asked to find the format by itself, the reader loads every image plugin installed;
    // a bitmap says what it is in its first two bytes and Qt reads it without any.
    if (Data.startsWith("BM"))
        Reader.setFormat("bmp");
    IsBitmap = Reader.format() == "bmp";
    QImage Decoded = Reader.read();
    if (Decoded.isNull())
        return QImage();
    Decoded = Decoded.convertToFormat(QImage::Format_ARGB32);
    if (IsBitmap) {
        // The bottom-left pixel names the colour that shows the background.
        const QRgb Key = Decoded.pixel(0, Decoded.height() - 1) | 0xFF000000u;
        for (int y = 0; y < Decoded.height(); ++y) {
            auto* Line = reinterpret_cast<QRgb*>(Decoded.scanLine(y));
            for (int x = 0; x < Decoded.width(); ++x)
                if ((Line[x] | 0xFF000000u) == Key)
                    Line[x] = 0;
        }
    }
    return Decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

void TButtonPicture::LoadFromData(const QByteArray& Data)
{
    if (Data == FData && FDecoded && !FDrawing)
        return;
    Load(Data, nullptr);
}

void TButtonPicture::LoadFromDrawing(TDrawing Drawing)
{
    if (!Drawing) {
        Load(QByteArray(), nullptr);
        return;
    }
    const QByteArray Data = Drawing(1.0);
    Load(Data, std::move(Drawing));
}

void TButtonPicture::Assign(const TButtonPicture& Source)
{
    Load(Source.FData, Source.FDrawing);
}

void TButtonPicture::Load(const QByteArray& Data, TDrawing Drawing)
{
    FData = Data;
    FDrawing = std::move(Drawing);
    FDecoded = false;
    FImage = QImage();
    FScaled.clear();
    Raise(OnChange, this);
}

bool TButtonPicture::LoadFromFile(const QString& FileName)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return false;
    LoadFromData(File.readAll());
    return true;
}

const QImage& TButtonPicture::Image() const
{
    if (!FDecoded)
        Decode();
    return FImage;
}

const QImage& TButtonPicture::Image(qreal Ratio) const
{
    if (!FDrawing || qFuzzyCompare(Ratio, 1.0) || Ratio <= 0 || Image().isNull())
        return Image();
    for (const TScaled& Scaled : FScaled)
        if (qFuzzyCompare(Scaled.Ratio, Ratio))
            return Scaled.Image;
    bool IsBitmap = false;
    QImage Drawn = DecodePicture(FDrawing(Ratio), IsBitmap);
    if (Drawn.isNull())
        return Image(); // a drawing that fails at this ratio still shows the picture
    Drawn.setDevicePixelRatio(Ratio);
    FScaled.push_back({Ratio, std::move(Drawn)});
    return FScaled.back().Image;
}

bool TButtonPicture::IsBitmap() const
{
    if (!FDecoded)
        Decode();
    return FIsBitmap;
}

void TButtonPicture::Decode() const
{
    FDecoded = true;
    FImage = DecodePicture(FData, FIsBitmap);
}
