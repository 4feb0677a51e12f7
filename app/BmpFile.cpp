#include "app/BmpFile.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40; // BITMAPINFOHEADER
constexpr int PixelsPerMetre = 3780; // 96 dots per inch

class TLittleEndianWriter {
public:
    explicit TLittleEndianWriter(char* Data) : FData(Data) {}
    void U16(quint16 Value) { Put(Value); }
    void U32(quint32 Value) { Put(Value); }
    void I32(qint32 Value) { Put(Value); }

private:
    template <typename T> void Put(T Value)
    {
        qToLittleEndian(Value, FData);
        FData += sizeof(T);
    }
    char* FData;
};

} // namespace

QByteArray BmpFile(const QImage& Image)
{
    if (Image.isNull())
        return QByteArray();
    const bool indexed = Image.format() == QImage::Format_Indexed8;
    const QImage source = indexed ? Image : Image.convertToFormat(QImage::Format_RGB32);
    const int bits = indexed ? 8 : 32;
    const QList<QRgb> colours = indexed ? source.colorTable() : QList<QRgb>();
    const qsizetype rowBytes = (qsizetype(source.width()) * bits + 31) / 32 * 4;
    const qsizetype pixelsAt = FileHeaderSize + InfoHeaderSize + 4 * colours.size();
    const qsizetype fileSize = pixelsAt + rowBytes * source.height();

    QByteArray file(fileSize, '\0');
    TLittleEndianWriter header(file.data());
    header.U16(0x4D42); // "BM"
    header.U32(quint32(fileSize));
    header.U32(0);
    header.U32(quint32(pixelsAt));
    header.U32(InfoHeaderSize);
    header.I32(source.width());
    header.I32(source.height()); // positive: the bottom row comes first
    header.U16(1);
    header.U16(quint16(bits));
    header.U32(0); // BI_RGB, uncompressed
    header.U32(quint32(rowBytes * source.height()));
    header.I32(PixelsPerMetre);
    header.I32(PixelsPerMetre);
    header.U32(quint32(colours.size()));
    header.U32(0);
    for (QRgb colour : colours)
        header.U32(colour & 0x00FFFFFFu); // blue, green, red, 0

    // A row of RGB32 is already blue, green, red, unused in memory on a little-endian machine;
    // it is written through the same writer so the file does not depend on that.
    for (int y = 0; y < source.height(); ++y) {
        char* row = file.data() + pixelsAt + rowBytes * (source.height() - 1 - y);
        if (indexed) {
            std::copy_n(source.constScanLine(y), source.width(), row);
        } else {
            TLittleEndianWriter pixels(row);
            const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            for (int x = 0; x < source.width(); ++x)
                pixels.U32(line[x] & 0x00FFFFFFu);
        }
    }
    return file;
}
