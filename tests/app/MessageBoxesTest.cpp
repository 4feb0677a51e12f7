#include "app/MessageBoxes.h"
#include "platform/Fonts.h"
#include "tests/support/CaseName.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TextInk.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

struct BoxCase {
    const char* Name;
    std::function<void(const QString&)> Show;
    const char* Caption;
    friend void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.Name; }
};

class MessageBoxText : public testing::TestWithParam<BoxCase> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(platform::ensureDesignFonts()); }
};

// The boxes as the assistant shows them, after its font set-up: both lines of the message
// and the OK button carry text.
TEST_P(MessageBoxText, ShowsBothLinesAndTheButton)
{
    const BoxCase& c = GetParam();
    ModalAnswerer answerer({{{}, QStringLiteral("OK")}});
    int firstLine = 0;
    int secondLine = 0;
    int button = 0;
    answerer.setInspector([&](QWidget* dialog) {
        const auto* label = dialog->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        const auto* ok = dialog->findChild<QPushButton*>();
        ASSERT_TRUE(label && ok);
        const QImage image = snapshot(dialog);
        const QRect text(label->mapTo(dialog, QPoint(0, 0)), label->size());
        const int lineHeight = label->fontMetrics().height();
        firstLine = inkPixels(image, QRect(text.left(), text.top(), text.width(), lineHeight));
        secondLine = inkPixels(image, QRect(text.left(), text.top() + lineHeight, text.width(), lineHeight));
        button = inkInside(dialog, ok);
    });
    c.Show(QStringLiteral("The download is complete.\rClick the Install button to install."));

    ASSERT_EQ(answerer.answered(), 1);
    EXPECT_EQ(answerer.captions()[0], QString::fromLatin1(c.Caption));
    EXPECT_GE(firstLine, 12);
    EXPECT_GE(secondLine, 12);
    EXPECT_GE(button, 12);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MessageBoxText,
    testing::Values(BoxCase{"Error", [](const QString& text) { ShowErrorBox(nullptr, text); }, "Error"},
                    BoxCase{"Information", [](const QString& text) { ShowInformationBox(nullptr, text); },
                            "Information"}),
    caseName);

} // namespace
