#include "tests/support/CaseName.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/Pixels.h"

#include "transfer/WtLogin.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TWtLoginForm* AsLoginForm(QWidget* Dialog)
{
    auto* form = qobject_cast<TWtLoginForm*>(Dialog);
    EXPECT_NE(form, nullptr) << "the modal dialog is the login form";
    return form;
}

// A dialog a key or click failed to close would block the test: report it and let go.
void ExpectClosed(TWtLoginForm* Form)
{
    EXPECT_FALSE(Form->isVisible()) << "the dialog should have closed";
    if (Form->isVisible())
        Form->done(QDialog::Rejected);
}

// Brings the dialog to the front, as the window manager does when it opens.
void Activate(QWidget* Dialog)
{
    Dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(Dialog));
}

TEST(TWtLoginForm, IsLaidOutInFixedPixels)
{
    TWtLoginForm form;
    EXPECT_EQ(form.objectName(), QStringLiteral("WtLoginForm"));
    EXPECT_EQ(form.width(), 320) << "the banner fills the client width";
    EXPECT_EQ(form.Image1->geometry(), QRect(0, 0, 320, 60));
    EXPECT_EQ(form.Label1->pos(), QPoint(16, 80));
    EXPECT_EQ(form.Label2->pos(), QPoint(16, 112));
    EXPECT_EQ(form.Edit1->geometry(), QRect(104, 80, 193, 21));
    EXPECT_EQ(form.Edit2->geometry(), QRect(104, 112, 193, 21));
    EXPECT_EQ(form.Button1->geometry(), QRect(144, 152, 75, 25));
    EXPECT_EQ(form.Button2->geometry(), QRect(224, 152, 75, 25));
    EXPECT_TRUE(form.rect().contains(form.Button2->geometry()));

    EXPECT_EQ(form.Label1->text(), QStringLiteral("&User name: "));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("&Password:"));
    EXPECT_EQ(form.Label1->buddy(), form.Edit1);
    EXPECT_EQ(form.Label2->buddy(), form.Edit2);
    EXPECT_EQ(form.Button1->text(), QStringLiteral("OK"));
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(form.Button1->isDefault());
    EXPECT_EQ(form.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(form.font().pointSize(), 8);
}

TEST(TWtLoginForm, FrameHasOnlyTheSystemMenuAndCloseBoxAndCanBeSized)
{
    TWtLoginForm form;
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_NE(form.minimumSize(), form.maximumSize());
}

TEST(TWtLoginForm, TabsFromUserToPasswordToOkToCancel)
{
    TWtLoginForm form;
    // The next widget in the chain that Tab can reach.
    const auto nextTabStop = [](QWidget* from) {
        QWidget* next = from->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        return next;
    };
    EXPECT_EQ(nextTabStop(form.Edit1), form.Edit2);
    EXPECT_EQ(nextTabStop(form.Edit2), form.Button1);
    EXPECT_EQ(nextTabStop(form.Button1), form.Button2);
    EXPECT_EQ(nextTabStop(form.Button2), form.Edit1);
}

TEST(TWtLoginForm, BannerIsABlueGradientWithKeysAtItsLeft)
{
    const QImage banner = TWtLoginForm::DrawBanner();
    ASSERT_EQ(banner.size(), QSize(320, 60));
    const QColor left = pixelAt(banner, 100, 30);
    const QColor right = pixelAt(banner, 310, 30);
    EXPECT_GT(left.blue(), left.red());
    EXPECT_GT(right.blue(), right.red());
    EXPECT_GT(right.lightness(), left.lightness()) << "the gradient brightens to the right";
    const QColor key = pixelAt(banner, 40, 26);
    EXPECT_GT(key.red(), key.blue()) << "a golden key";
}

TEST(ShowLoginDialog, OkReturnsWhatTheUserTypedInEditsThatStartEmpty)
{
    QString user = QStringLiteral("stored");
    QString password = QStringLiteral("stored-secret");
    QString caption;
    bool startedEmpty = false;
    QString shownPassword;
    ModalAnswerer answerer({{.act = [&](QWidget* dialog) {
        TWtLoginForm* form = AsLoginForm(dialog);
        caption = form->windowTitle();
        startedEmpty = form->Edit1->text().isEmpty() && form->Edit2->text().isEmpty();
        QTest::keyClicks(form->Edit1, QStringLiteral("alice"));
        QTest::keyClicks(form->Edit2, QStringLiteral("s3cret!"));
        shownPassword = form->Edit2->displayText();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        ExpectClosed(form);
    }}});

    EXPECT_TRUE(ShowLoginDialog(QStringLiteral("Connect to download.example.org"), user, password));
    EXPECT_EQ(caption, QStringLiteral("Connect to download.example.org"));
    EXPECT_TRUE(startedEmpty);
    EXPECT_EQ(shownPassword, QStringLiteral("*******")) << "the password is masked";
    EXPECT_EQ(user, QStringLiteral("alice"));
    EXPECT_EQ(password, QStringLiteral("s3cret!"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ShowLoginDialog, EnterAcceptsAndAltShortcutsMoveBetweenTheEdits)
{
    QString user;
    QString password;
    ModalAnswerer answerer({{.act = [&](QWidget* dialog) {
        TWtLoginForm* form = AsLoginForm(dialog);
        Activate(form);
        EXPECT_EQ(QApplication::focusWidget(), form->Edit1);
        QTest::keyClick(form, Qt::Key_P, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), form->Edit2);
        QTest::keyClicks(static_cast<QWidget*>(nullptr), QStringLiteral("pw"));
        QTest::keyClick(form, Qt::Key_U, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), form->Edit1);
        QTest::keyClicks(static_cast<QWidget*>(nullptr), QStringLiteral("bob"));
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Return);
        ExpectClosed(form);
    }}});

    EXPECT_TRUE(ShowLoginDialog(QStringLiteral("Connect to host"), user, password));
    EXPECT_EQ(user, QStringLiteral("bob"));
    EXPECT_EQ(password, QStringLiteral("pw"));
}

struct CancelCase {
    const char* Name;
    std::function<void(TWtLoginForm*)> Dismiss;
};

class ShowLoginDialogCancel : public testing::TestWithParam<CancelCase> {};

TEST_P(ShowLoginDialogCancel, LeavesTheValuesUnchangedAndReturnsFalse)
{
    QString user = QStringLiteral("kept-user");
    QString password = QStringLiteral("kept-password");
    ModalAnswerer answerer({{.act = [&](QWidget* dialog) {
        TWtLoginForm* form = AsLoginForm(dialog);
        Activate(form);
        QTest::keyClicks(form->Edit1, QStringLiteral("typed"));
        QTest::keyClicks(form->Edit2, QStringLiteral("typed"));
        GetParam().Dismiss(form);
        ExpectClosed(form);
    }}});

    EXPECT_FALSE(ShowLoginDialog(QStringLiteral("Connect to host"), user, password));
    EXPECT_EQ(user, QStringLiteral("kept-user"));
    EXPECT_EQ(password, QStringLiteral("kept-password"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ShowLoginDialogCancel,
    testing::Values(
        CancelCase{"CancelButton", [](TWtLoginForm* f) { QTest::mouseClick(f->Button2, Qt::LeftButton); }},
        CancelCase{"Escape", [](TWtLoginForm* f) { QTest::keyClick(f->Edit1, Qt::Key_Escape); }},
        CancelCase{"CloseBox", [](TWtLoginForm* f) { f->close(); }}),
    caseName);

} // namespace
