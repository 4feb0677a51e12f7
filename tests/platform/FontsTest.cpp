#include "tests/support/CaseName.h"
#include "tests/support/Pixels.h"

#include "platform/desktop/FontConfigurationLoader.h"
#include "platform/desktop/Fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <gtest/gtest.h>

#include <ostream>

namespace {

TEST(DesignFonts, TahomaEightPointIsThirteenPixelsHighAtNinetySixDpi)
{
    ASSERT_TRUE(platform::ensureDesignFonts());
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11); // 8 pt at 96 dpi
    EXPECT_EQ(QFontInfo(tahoma).family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(QFontMetrics(tahoma).height(), 13);
}

// The assistant reads the font configuration on a thread while its application object starts;
// fonts asked for before that thread is done are still the design's.
TEST(DesignFonts, AskedForWhileTheConfigurationLoadsOnAThread)
{
    platform::FontConfigurationLoader loader;
    ASSERT_TRUE(platform::ensureDesignFonts());
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    EXPECT_EQ(QFontInfo(tahoma).family(), QStringLiteral("Tahoma"));
    loader.wait();
    loader.wait(); // a second wait returns at once
}

struct FaceCase {
    const char* Name;
    const char* Family;
    int PointSize;
    bool Bold;
    int LineHeight;
    friend void PrintTo(const FaceCase& c, std::ostream* os) { *os << c.Name; }
};

class DesignFaces : public testing::TestWithParam<FaceCase> {};

// Every face a window asks for draws from outlines, so its text shows at any size and scale.
TEST_P(DesignFaces, DrawOutlinesWithTheDesignLineHeight)
{
    ASSERT_TRUE(platform::ensureDesignFonts());
    const FaceCase& c = GetParam();
    QFont font(QString::fromLatin1(c.Family), c.PointSize);
    font.setBold(c.Bold);
    const QRawFont raw = QRawFont::fromFont(font);
    ASSERT_TRUE(raw.isValid());
    const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("OK"));
    ASSERT_EQ(glyphs.size(), 2);
    for (quint32 glyph : glyphs)
        EXPECT_FALSE(raw.pathForGlyph(glyph).isEmpty()) << QFontInfo(font).family().toStdString();
    EXPECT_EQ(QFontMetrics(font).height(), c.LineHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, DesignFaces,
    testing::Values(FaceCase{"Tahoma8", "Tahoma", 8, false, 13}, FaceCase{"TahomaBold8", "Tahoma", 8, true, 13},
                    FaceCase{"Tahoma9", "Tahoma", 9, false, 14}, FaceCase{"Tahoma10", "Tahoma", 10, false, 16},
                    FaceCase{"MSSansSerif8", "MS Sans Serif", 8, false, 13}),
    caseName);

TEST(DesignFonts, BoldTahomaIsDrawnHeavierThanRegular)
{
    ASSERT_TRUE(platform::ensureDesignFonts());
    const auto inkOf = [](bool bold) {
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(11);
        font.setBold(bold);
        QImage image(120, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(2, 14, QStringLiteral("Upgrade KAPLIX"));
        painter.end();
        long ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ink += 255 - qGray(pixelAt(image, x, y).rgb());
        return ink;
    };
    EXPECT_GT(inkOf(true), inkOf(false) * 5 / 4);
}

} // namespace
