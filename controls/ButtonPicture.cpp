#include "controls/ButtonPicture.h"

#include "controls/ControlSupport.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

void TButtonPicture::LoadFromData(const QByteArray& Data)
{
    if (Data == FData && FDecoded)
        return;
    FData = Data;
    FDecoded = false;
    FImage = QImage();
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

bool TButtonPicture::IsBitmap() const
{
    if (!FDecoded)
        Decode();
    return FIsBitmap;
}

void TButtonPicture::Decode() const
{
    FDecoded = true;
    FImage = QImage();
    FIsBitmap = false;
    if (FData.isEmpty())
        return;
    QBuffer Buffer;
    Buffer.setData(FData);
    Buffer.open(QIODevice::ReadOnly);
    QImageReader Reader(&Buffer);
    FIsBitmap = Reader.format() == "bmp";
    QImage Decoded = Reader.read();
    if (Decoded.isNull())
        return;
    Decoded = Decoded.convertToFormat(QImage::Format_ARGB32);
    if (FIsBitmap) {
        // The bottom-left pixel names the colour that shows the background.
        const QRgb Key = Decoded.pixel(0, Decoded.height() - 1) | 0xFF000000u;
        for (int y = 0; y < Decoded.height(); ++y) {
            auto* Line = reinterpret_cast<QRgb*>(Decoded.scanLine(y));
            for (int x = 0; x < Decoded.width(); ++x)
                if ((Line[x] | 0xFF000000u) == Key)
                    Line[x] = 0;
        }
    }
    FImage = Decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
