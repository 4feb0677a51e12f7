#include "app/BmpFile.h"
#include "tests/support/CaseName.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct BmpCase {
    const char* name;
    QImage image;
    int bitsPerPixel;
    friend void PrintTo(const BmpCase& c, std::ostream* os) { *os << c.name; }
};

// A picture with a different colour in every pixel of its first row and column, so a row read
// from the wrong place or a pixel shifted by the row padding shows.
QImage Pattern(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / Width, y * 255 / Height, (x + y) % 2 ? 255 : 0));
    return image;
}

QImage Indexed(int Width, int Height)
{
    return Pattern(Width, Height).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

QImage Read(const QByteArray& File)
{
    QBuffer buffer;
    buffer.setData(File);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    return reader.read();
}

class BmpFiles : public testing::TestWithParam<BmpCase> {};

TEST_P(BmpFiles, ReadBackAsTheSamePixelsWithTheirDepth)
{
    const BmpCase& c = GetParam();
    const QByteArray file = BmpFile(c.image);
    ASSERT_TRUE(file.startsWith("BM"));
    EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 2), quint32(file.size()));
    EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 28), c.bitsPerPixel);

    const QImage read = Read(file);
    ASSERT_FALSE(read.isNull());
    ASSERT_EQ(read.size(), c.image.size());
    const QImage expected = c.image.convertToFormat(QImage::Format_RGB32);
    const QImage actual = read.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            ASSERT_EQ(actual.pixel(x, y), expected.pixel(x, y)) << "at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BmpFiles,
    testing::Values(BmpCase{"IndexedSixteen", Indexed(16, 16), 8},
                    // 21 bytes a row are padded to 24: the padding must not shift the next row.
                    BmpCase{"IndexedRowsPadded", Indexed(21, 7), 8},
                    BmpCase{"TrueColour", Pattern(16, 16), 32},
                    BmpCase{"TrueColourAtOneAndAHalf", Pattern(24, 24), 32},
                    BmpCase{"ColoursOfAnImageWithAlpha",
                            Pattern(5, 3).convertToFormat(QImage::Format_ARGB32), 32}),
    caseName);

TEST(BmpFile, NoPictureGivesNoFile)
{
    EXPECT_TRUE(BmpFile(QImage()).isEmpty());
}

} // namespace
