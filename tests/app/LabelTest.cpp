#include "app/Label.h"
#include "platform/desktop/Fonts.h"
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

// The label measures a line itself; its width must stay what the toolkit's label gives, as
// the window's layout was taken with it.
TEST_P(LabelLines, AutoSizedWidthIsTheToolkitsWidth)
{
    const QString texts[] = {QStringLiteral("KAPLIX install assistant"),
                             QStringLiteral("Upgrade "),
                             QStringLiteral("Install file is not present"),
                             QStringLiteral("first\nsecond, longer"),
                             QStringLiteral("ends a line\n"),
                             QStringLiteral("R&D \u00dcber gr\u00f6\u00dfe"),
                             QStringLiteral(" leading"),
                             QStringLiteral("tab\tand return\r"),
                             QString()};
    for (const QString& text : texts) {
        TLabel label(text);
        label.setFont(Font(GetParam()));
        QLabel toolkit;
        toolkit.setTextFormat(Qt::PlainText);
        toolkit.setText(text);
        toolkit.setFont(Font(GetParam()));
        EXPECT_EQ(label.sizeHint().width(), toolkit.sizeHint().width()) << text.toStdString();

        label.setMargin(3);
        toolkit.setMargin(3);
        label.setMinimumWidth(40);
        toolkit.setMinimumWidth(40);
        EXPECT_EQ(label.sizeHint().width(), toolkit.sizeHint().width()) << "with margin: " << text.toStdString();
    }
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
