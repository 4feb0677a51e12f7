#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/TextInk.h"

#include "platform/desktop/Fonts.h"
#include "transfer/WebTransfer.h"
#include "transfer/WtLogin.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A word of ten pixels or so leaves far more ink than this; an empty part leaves none.
constexpr int SomeText = 12;

// The dialogs as the program shows them: after its font set-up.
class DialogText : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(platform::ensureDesignFonts()); }
    void TearDown() override { FlushDeferredDeletes(); }

    static void ExpectText(QWidget* Window, const QWidget* Part, const char* Name)
    {
        EXPECT_GE(inkInside(Window, Part), SomeText) << Name << " shows no text";
    }
};

TEST_F(DialogText, LoginDialogShowsItsLabelsButtonsAndWhatIsTyped)
{
    TWtLoginForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ExpectText(&form, form.Label1, "Label1");
    ExpectText(&form, form.Label2, "Label2");
    ExpectText(&form, form.Button1, "Button1");
    ExpectText(&form, form.Button2, "Button2");

    QTest::keyClicks(form.Edit1, QStringLiteral("alice"));
    QTest::keyClicks(form.Edit2, QStringLiteral("secret"));
    // The text cursor is ink too: it goes with the focus.
    form.Button2->setFocus();
    ASSERT_FALSE(form.Edit1->hasFocus() || form.Edit2->hasFocus());
    ExpectText(&form, form.Edit1, "the user name typed");
    ExpectText(&form, form.Edit2, "the password's asterisks");
}

TEST_F(DialogText, ProgressDialogShowsEveryLineAndButton)
{
    TDialogEngine engine;
    engine.ShowTime = true;
    engine.ShowElapsedTime = true;
    engine.ShowOpenFile = true;
    engine.ShowOpenFolder = true;
    engine.BuildProgressDialog();
    QWidget* form = engine.ProgressForm();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    // At the end of a run every button is enabled and drawn in the text colour.
    engine.ShowCompletionState();

    ExpectText(form, engine.ProgressFileLabel(), "file line");
    ExpectText(form, engine.ProgressSizeLabel(), "size line");
    ExpectText(form, engine.ProgressRateLabel(), "rate line");
    ExpectText(form, form->findChild<QLabel*>(QStringLiteral("TimeLbl")), "time-left line");
    ExpectText(form, form->findChild<QLabel*>(QStringLiteral("ElapsedTimeLbl")), "elapsed-time line");
    ExpectText(form, form->findChild<QPushButton*>(QStringLiteral("CancelBtn")), "Close button");
    ExpectText(form, form->findChild<QPushButton*>(QStringLiteral("BtnShowFile")), "Open file button");
    ExpectText(form, form->findChild<QPushButton*>(QStringLiteral("BtnShowFolder")), "Open folder button");
    form->close();
}

} // namespace
