#include "app/MessageBoxes.h"
#include "platform/desktop/Fonts.h"
#include "tests/support/CaseName.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TextInk.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

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

// The question before a setup file that is not verified starts: only a deliberate choice of
// "Start anyway" starts it; Return, Escape and Cancel do not.
struct QuestionCase {
    const char* Name;
    std::function<void(QWidget* dialog)> Act;
    bool Started;
    friend void PrintTo(const QuestionCase& c, std::ostream* os) { *os << c.Name; }
};

class StartAnywayBox : public testing::TestWithParam<QuestionCase> {};

QPushButton* ButtonOf(QWidget* dialog, const QString& text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text().remove(u'&') == text)
            return button;
    }
    return nullptr;
}

TEST_P(StartAnywayBox, StartsOnlyWhenTheUserChoosesTo)
{
    QStringList buttons;
    QString defaultButton;
    QStringList descriptions;
    ModalAnswerer answerer({{.act = GetParam().Act}});
    answerer.setInspector([&](QWidget* dialog) {
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            buttons << button->text();
            descriptions << button->accessibleDescription();
            if (button->isDefault())
                defaultButton = button->text();
        }
    });
    const bool started = ShowStartAnywayBox(nullptr, QStringLiteral("Install file not verified.\r/x/KXsetup64.exe"));

    ASSERT_EQ(answerer.answered(), 1);
    EXPECT_EQ(started, GetParam().Started);
    EXPECT_EQ(answerer.captions()[0], QStringLiteral("Warning"));
    EXPECT_EQ(answerer.messages()[0], QStringLiteral("Install file not verified.\n/x/KXsetup64.exe"));
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({QStringLiteral("&Start anyway"), QStringLiteral("Cancel")}));
    EXPECT_EQ(defaultButton, QStringLiteral("Cancel"));
    EXPECT_EQ(descriptions.count(QString()), 0) << "a screen reader hears what each button does";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, StartAnywayBox,
    testing::Values(
        QuestionCase{"StartAnyway", [](QWidget* dialog) { ButtonOf(dialog, QStringLiteral("Start anyway"))->click(); }, true},
        QuestionCase{"Cancel", [](QWidget* dialog) { ButtonOf(dialog, QStringLiteral("Cancel"))->click(); }, false},
        QuestionCase{"Return", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); }, false},
        QuestionCase{"Escape", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); }, false}),
    caseName);

} // namespace
