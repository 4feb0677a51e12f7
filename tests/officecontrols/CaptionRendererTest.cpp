#include "controls/CaptionRenderer.h"
#include "tests/officecontrols/OfficeTestSupport.h"
#include "tests/support/CaseName.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

struct Captions : testing::Test {
    QFont Font = DesignFont();
    QFontMetrics Metrics{Font};
    QRect Wide{0, 0, 1000, 100};
};

TEST_F(Captions, PlainTextMeasuresLikeTheFont)
{
    const TCaptionResult size = MeasureCaption(Font, QStringLiteral("Download files to"), Wide);
    EXPECT_EQ(size.Width, Metrics.horizontalAdvance(QStringLiteral("Download files to")));
    EXPECT_EQ(size.Height, 13);
    EXPECT_EQ(MeasureCaption(Font, QString(), Wide).Width, 0);
    EXPECT_EQ(MeasureCaption(Font, QString(), Wide).Height, 0);
}

struct PlainCase {
    const char* Name;
    const char* Caption;
    const char* Plain;
};

class PlainCaptions : public testing::TestWithParam<PlainCase> {};

TEST_P(PlainCaptions, ReadAsTheUserSeesThem)
{
    EXPECT_EQ(PlainCaption(QString::fromUtf8(GetParam().Caption)), QString::fromUtf8(GetParam().Plain));
}

INSTANTIATE_TEST_SUITE_P(Markup, PlainCaptions,
    testing::Values(PlainCase{"Plain", "12.1", "12.1"}, PlainCase{"Bold", "<B>bold</B> text", "bold text"},
        PlainCase{"LineBreak", "one<BR>two", "one\ntwo"}, PlainCase{"Entities", "a &amp; b &lt;c&gt;", "a & b <c>"},
        PlainCase{"Accelerator", "&Current directory", "Current directory"},
        PlainCase{"DoubledAmpersand", "this && that", "this & that"},
        PlainCase{"UnclosedTag", "open <b", "open <b"}, PlainCase{"UnclosedLink", "<A HREF=\"x", "<A HREF=\"x"},
        PlainCase{"UnknownTagDropped", "<FONT color=\"red\">red</FONT>", "red"},
        PlainCase{"TrailingAmpersand", "end&", "end"}),
    caseName);

TEST(CaptionAccelerators, FollowTheSingleAmpersand)
{
    EXPECT_EQ(CaptionAccelerator(QStringLiteral("&Current")), QChar(u'C'));
    EXPECT_EQ(CaptionAccelerator(QStringLiteral("System &temporary")), QChar(u'T'));
    EXPECT_TRUE(CaptionAccelerator(QStringLiteral("a && b")).isNull());
    EXPECT_TRUE(CaptionAccelerator(QStringLiteral("a &amp; b")).isNull());
    EXPECT_TRUE(CaptionAccelerator(QStringLiteral("end&")).isNull());
}

TEST_F(Captions, BoldMarkupDrawsInTheBoldFont)
{
    QFont bold = Font;
    bold.setBold(true);
    EXPECT_EQ(MeasureCaption(Font, QStringLiteral("Grayed <B>box</B>"), Wide).Width,
        Metrics.horizontalAdvance(QStringLiteral("Grayed ")) + QFontMetrics(bold).horizontalAdvance(QStringLiteral("box")));
}

TEST_F(Captions, LineBreaksAndWrappingAddLines)
{
    EXPECT_EQ(MeasureCaption(Font, QStringLiteral("one<BR>two"), Wide).Height, 26);
    TCaptionOptions wrap;
    wrap.WordWrap = true;
    const QString text = QStringLiteral("Install with databases enables you to retrieve protein sequences");
    const TCaptionResult wrapped = MeasureCaption(Font, text, QRect(0, 0, 120, 200), wrap);
    EXPECT_GT(wrapped.Height, 13);
    EXPECT_LE(wrapped.Width, 120);
    EXPECT_EQ(MeasureCaption(Font, text, QRect(0, 0, 120, 200)).Height, 13); // single line without wrapping
}

TEST_F(Captions, EllipsisKeepsTheLineInsideTheRectangle)
{
    TCaptionOptions options;
    options.Ellipsis = true;
    const TCaptionResult size = MeasureCaption(Font, QStringLiteral("System temporary directory"), QRect(0, 0, 60, 20), options);
    EXPECT_LE(size.Width, 60);
    EXPECT_GT(size.Width, 0);
}

TEST_F(Captions, LinksAreFoundUnderThePoint)
{
    const QString caption = QStringLiteral("See <A HREF=\"https://example.org\">the site</A> now");
    const int start = Metrics.horizontalAdvance(QStringLiteral("See "));
    const QRect area(10, 5, 400, 20);
    EXPECT_EQ(CaptionAnchorAt(Font, caption, area, {}, QPoint(10 + start + 3, 10)), QStringLiteral("https://example.org"));
    EXPECT_TRUE(CaptionAnchorAt(Font, caption, area, {}, QPoint(12, 10)).isEmpty());
    EXPECT_TRUE(CaptionAnchorAt(Font, caption, area, {}, QPoint(10 + start + 3, 40)).isEmpty());
    EXPECT_TRUE(IsExternalAnchor(QStringLiteral("https://example.org")));
    EXPECT_TRUE(IsExternalAnchor(QStringLiteral("mailto:someone@example.org")));
    EXPECT_FALSE(IsExternalAnchor(QStringLiteral("details")));
}

TEST_F(Captions, TextIsDrawnInTheColourAndLinksInTheLinkColour)
{
    QImage image(200, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        RenderCaption(&painter, Font, QColor(200, 0, 0), QStringLiteral("Red <A HREF=\"x\">Blue</A>"), image.rect());
    }
    const int split = Metrics.horizontalAdvance(QStringLiteral("Red "));
    bool red = false;
    bool blue = false;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 200; ++x) {
            const QColor c = pixelAt(image, x, y);
            if (c.red() > 150 && c.green() < 90 && c.blue() < 90)
                red = red || x < split;
            if (c == QColor(0, 0, 255)) // the link's underline
                blue = blue || x >= split;
        }
    EXPECT_TRUE(red);
    EXPECT_TRUE(blue);
}

} // namespace
