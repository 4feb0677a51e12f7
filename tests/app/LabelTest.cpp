#include "app/Label.h"
#include "platform/Fonts.h"
#include "tests/support/CaseName.h"
#include "tests/support/Snapshot.h"

#include <QImage>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

struct LabelCase {
    const char* Name;
    int PixelSize;
    bool Bold;
    int LineHeight; // Tahoma's text height at that size on the system
    friend void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.Name; }
};

class LabelLines : public testing::TestWithParam<LabelCase> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(platform::ensureDesignFonts()); }

    static QFont Font(const LabelCase& c)
    {
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(c.PixelSize);
        font.setBold(c.Bold);
        return font;
    }
};

TEST_P(LabelLines, AutoSizedLabelIsOneLineHigh)
{
    TLabel label(QStringLiteral("Upgrade KAPLIX"));
    label.setFont(Font(GetParam()));
    label.adjustSize();
    EXPECT_EQ(label.LineHeight(), GetParam().LineHeight);
    EXPECT_EQ(label.height(), GetParam().LineHeight);

    label.setText(QStringLiteral("first\nsecond"));
    label.adjustSize();
    EXPECT_EQ(label.height(), 2 * GetParam().LineHeight);
}

// Words without descenders leave a blank gap between lines, so each line's ink starts on a
// row of its own.
TEST_P(LabelLines, WrappedLinesStepByTheLineHeight)
{
    const int lineHeight = GetParam().LineHeight;
    TLabel label(QStringLiteral("Hill Hill Hill Hill Hill Hill Hill Hill"));
    label.setFont(Font(GetParam()));
    label.setWordWrap(true);
    label.setAutoFillBackground(true);
    QPalette colours = label.palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    label.setPalette(colours);
    const int lines = label.heightForWidth(60) / lineHeight;
    ASSERT_GE(lines, 3);
    EXPECT_EQ(label.heightForWidth(60), lines * lineHeight);
    label.resize(60, lines * lineHeight);

    const QImage image = snapshot(&label);
    std::vector<int> starts;
    bool previousInked = false;
    for (int y = 0; y < image.height(); ++y) {
        bool inked = false;
        for (int x = 0; x < image.width() && !inked; ++x)
            inked = qGray(pixelAt(image, x, y).rgb()) < 128;
        if (inked && !previousInked)
            starts.push_back(y);
        previousInked = inked;
    }
    ASSERT_EQ(int(starts.size()), lines);
    for (std::size_t i = 1; i < starts.size(); ++i)
        EXPECT_EQ(starts[i] - starts[i - 1], lineHeight) << "line " << i;
}

INSTANTIATE_TEST_SUITE_P(Tahoma, LabelLines,
                         testing::Values(LabelCase{"EightPoint", 11, false, 13}, LabelCase{"EightPointBold", 11, true, 13},
                                         LabelCase{"NinePoint", 12, false, 14}, LabelCase{"TenPoint", 13, false, 16}),
                         caseName);

} // namespace
