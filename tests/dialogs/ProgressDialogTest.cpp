#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include "transfer/WebTransfer.h"
#include "transfer/WindowMetrics.h"

#include <QTest>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class ProgressDialogTest : public testing::Test {
protected:
    void TearDown() override { FlushDeferredDeletes(); }

    // Builds the dialog and remembers it, so a test can see it die.
    TProgressForm* Build()
    {
        Engine.BuildProgressDialog();
        Built = qobject_cast<TProgressForm*>(Engine.ProgressForm());
        return Built;
    }
    // A part of the dialog built last, by its name; null when it has none of that name.
    template <typename T>
    T* Part(const char* Name) const
    {
        return Built ? Built->findChild<T*>(QString::fromLatin1(Name)) : nullptr;
    }
    QPushButton* CancelBtn() const { return Part<QPushButton>("CancelBtn"); }
    QPushButton* OpenFileBtn() const { return Part<QPushButton>("BtnShowFile"); }
    QPushButton* OpenFolderBtn() const { return Part<QPushButton>("BtnShowFolder"); }
    TTransferAnimation* Anim() const { return Part<TTransferAnimation>("Anim"); }
    QLabel* TimeLbl() const { return Part<QLabel>("TimeLbl"); }
    QLabel* ElapsedTimeLbl() const { return Part<QLabel>("ElapsedTimeLbl"); }
    // The dialog is gone once the window that closed itself has been freed.
    bool DialogFreed()
    {
        FlushDeferredDeletes();
        return Built.isNull();
    }
    void ClickCancel() { QTest::mouseClick(CancelBtn(), Qt::LeftButton); }

    TDialogEngine Engine;
    QPointer<TProgressForm> Built;
};

QRect ButtonAt(int Left, int Top)
{
    return {Left, Top, 75, 25};
}

// ---- Layout -----------------------------------------------------------------------------

struct GeometryCase {
    const char* Name;
    bool ShowFileName;
    bool ShowTime;
    bool ShowElapsedTime;
    bool ShowCancel;
    int ClientHeight; // the outer height less the caption
    int SizeTop;
    int RateTop;
    int TimeTop;
    int ElapsedTop;
    int ButtonRow;
};

class ProgressDialogGeometry : public ProgressDialogTest, public testing::WithParamInterface<GeometryCase> {};

TEST_P(ProgressDialogGeometry, PlacesEveryPartForTheChosenLines)
{
    const GeometryCase& c = GetParam();
    Engine.ShowFileName = c.ShowFileName;
    Engine.ShowTime = c.ShowTime;
    Engine.ShowElapsedTime = c.ShowElapsedTime;
    Engine.DlgShowCancel = c.ShowCancel;
    TProgressForm* form = Build();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->isVisible());

    EXPECT_EQ(form->size(), QSize(300, c.ClientHeight));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "the frame is not resizable";
    EXPECT_EQ(Anim()->geometry(), QRect(10, 0, 272, 60));
    EXPECT_EQ(Engine.ProgressBar()->geometry(), QRect(10, 60, 280, 12));

    EXPECT_EQ(Engine.ProgressFileLabel()->geometry().topLeft(), QPoint(10, 80));
    EXPECT_EQ(Engine.ProgressFileLabel()->width(), 280);
    EXPECT_EQ(Engine.ProgressFileLabel()->isVisible(), c.ShowFileName);
    EXPECT_EQ(Engine.ProgressSizeLabel()->geometry().topLeft(), QPoint(10, c.SizeTop));
    EXPECT_EQ(Engine.ProgressRateLabel()->geometry().topLeft(), QPoint(10, c.RateTop));
    EXPECT_EQ(TimeLbl()->geometry().topLeft(), QPoint(10, c.TimeTop));
    EXPECT_EQ(TimeLbl()->isVisible(), c.ShowTime);
    EXPECT_EQ(ElapsedTimeLbl()->geometry().topLeft(), QPoint(10, c.ElapsedTop));
    EXPECT_EQ(ElapsedTimeLbl()->isVisible(), c.ShowElapsedTime);
    EXPECT_TRUE(Engine.ProgressSizeLabel()->isVisible());
    EXPECT_TRUE(Engine.ProgressRateLabel()->isVisible());

    EXPECT_EQ(CancelBtn()->geometry(), ButtonAt(215, c.ButtonRow));
    EXPECT_EQ(CancelBtn()->isVisible(), c.ShowCancel);
    EXPECT_TRUE(form->rect().contains(CancelBtn()->geometry()));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProgressDialogGeometry,
    testing::Values(
        GeometryCase{"Defaults", true, false, false, true, 188, 100, 120, 140, 160, 140},
        GeometryCase{"TimeAndElapsed", true, true, true, true, 228, 100, 120, 140, 160, 180},
        GeometryCase{"TimeOnly", true, true, false, true, 208, 100, 120, 140, 160, 160},
        GeometryCase{"ElapsedOnly", true, false, true, true, 208, 100, 120, 140, 160, 160},
        GeometryCase{"NoFileName", false, false, false, true, 188, 80, 100, 120, 140, 120},
        GeometryCase{"NoFileNameWithTimes", false, true, true, true, 228, 80, 100, 120, 140, 160},
        GeometryCase{"NoCancel", true, false, false, false, 168, 100, 120, 140, 160, 140},
        GeometryCase{"NoCancelWithTimes", true, true, true, false, 208, 100, 120, 140, 160, 180}),
    caseName);

struct OpenButtonsCase {
    const char* Name;
    bool ShowOpenFile;
    bool ShowOpenFolder;
    int OpenFileLeft; // -1: no button
    int OpenFolderLeft;
};

class ProgressDialogOpenButtons : public ProgressDialogTest, public testing::WithParamInterface<OpenButtonsCase> {};

TEST_P(ProgressDialogOpenButtons, ExistOnlyWhenAskedForAndStartDisabled)
{
    const OpenButtonsCase& c = GetParam();
    Engine.ShowOpenFile = c.ShowOpenFile;
    Engine.ShowOpenFolder = c.ShowOpenFolder;
    Build();

    ASSERT_EQ(OpenFileBtn() == nullptr, c.OpenFileLeft < 0);
    ASSERT_EQ(OpenFolderBtn() == nullptr, c.OpenFolderLeft < 0);
    if (OpenFileBtn()) {
        EXPECT_EQ(OpenFileBtn()->geometry(), ButtonAt(c.OpenFileLeft, 140));
        EXPECT_EQ(OpenFileBtn()->text(), QStringLiteral("Open file"));
        EXPECT_FALSE(OpenFileBtn()->isEnabled());
    }
    if (OpenFolderBtn()) {
        EXPECT_EQ(OpenFolderBtn()->geometry(), ButtonAt(c.OpenFolderLeft, 140));
        EXPECT_EQ(OpenFolderBtn()->text(), QStringLiteral("Open folder"));
        EXPECT_FALSE(OpenFolderBtn()->isEnabled());
    }
    EXPECT_EQ(CancelBtn()->geometry(), ButtonAt(215, 140));
}

INSTANTIATE_TEST_SUITE_P(Buttons, ProgressDialogOpenButtons,
                         testing::Values(OpenButtonsCase{"Neither", false, false, -1, -1},
                                         OpenButtonsCase{"FileOnly", true, false, 130, -1},
                                         OpenButtonsCase{"FolderOnly", false, true, -1, 130},
                                         OpenButtonsCase{"Both", true, true, 45, 130}),
                         caseName);

TEST_F(ProgressDialogTest, StartsWithTheConfiguredTextsAnEmptyBarAndTheDownloadClip)
{
    Engine.DlgCaption = QStringLiteral("Fetching");
    Engine.DlgFileLabel = QStringLiteral("Datei :");
    Engine.DlgRateLabel = QStringLiteral("Rate :");
    Engine.DlgCancel = QStringLiteral("Stop");
    TProgressForm* form = Build();

    EXPECT_EQ(form->windowTitle(), QStringLiteral("Fetching ..."));
    EXPECT_EQ(Engine.ProgressFileLabel()->text(), QStringLiteral("Datei :"));
    EXPECT_EQ(Engine.ProgressSizeLabel()->text(), QStringLiteral("Progress :"));
    EXPECT_EQ(Engine.ProgressRateLabel()->text(), QStringLiteral("Rate :"));
    EXPECT_EQ(TimeLbl()->text(), QStringLiteral("Estimated time left :"));
    EXPECT_EQ(ElapsedTimeLbl()->text(), QStringLiteral("Elapsed time :"));
    EXPECT_EQ(CancelBtn()->text(), QStringLiteral("Stop"));
    EXPECT_EQ(Engine.ProgressBar()->minimum(), 0);
    EXPECT_EQ(Engine.ProgressBar()->maximum(), 100);
    EXPECT_EQ(Engine.ProgressBar()->value(), 0);
    EXPECT_EQ(Anim()->Clip(), acDownload);
    EXPECT_TRUE(Anim()->Playing());
    EXPECT_EQ(Engine.ProgressForm(), form);
}

TEST_F(ProgressDialogTest, IsCentredOnTheScreenWithItsCaption)
{
    TProgressForm* form = Build();
    const QRect screen = form->screen()->availableGeometry();
    const int outerHeight = SystemCaptionHeight() + 188;
    EXPECT_GT(SystemCaptionHeight(), 0);
    EXPECT_EQ(form->pos(), QPoint(screen.center().x() - 150, screen.center().y() - outerHeight / 2));
}

// ---- Frame --------------------------------------------------------------------------------

struct FrameCase {
    const char* Name;
    bool ShowDialogOnTop;
    bool AlwaysOnTop;
    bool DlgShowCloseBtn;
    bool StaysOnTop;
    bool HasCloseBox;
};

class ProgressDialogFrame : public ProgressDialogTest, public testing::WithParamInterface<FrameCase> {};

TEST_P(ProgressDialogFrame, FollowsTheOnTopAndCloseBoxSettings)
{
    const FrameCase& c = GetParam();
    Engine.ShowDialogOnTop = c.ShowDialogOnTop;
    Engine.AlwaysOnTop = c.AlwaysOnTop;
    Engine.DlgShowCloseBtn = c.DlgShowCloseBtn;
    TProgressForm* form = Build();

    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(flags.testFlag(Qt::WindowStaysOnTopHint), c.StaysOnTop);
    if (c.HasCloseBox) {
        EXPECT_FALSE(flags.testFlag(Qt::CustomizeWindowHint));
    } else {
        // A customized frame shows only what is asked for: the caption, no buttons.
        EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
        EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, ProgressDialogFrame,
                         testing::Values(FrameCase{"Defaults", true, false, false, true, false},
                                         FrameCase{"NotOnTop", false, false, false, false, false},
                                         FrameCase{"RaisedAfterShowing", false, true, false, true, false},
                                         FrameCase{"CloseBox", true, false, true, true, true}),
                         caseName);

// ---- Showing ------------------------------------------------------------------------------

TEST_F(ProgressDialogTest, OnBeforeDialogShowSeesTheHiddenDialogAndCannotCancelTheRun)
{
    std::vector<bool> visibleWhenRaised;
    QWidget* passed = nullptr;
    Engine.OnBeforeDialogShow = [&](TWebTransfer* Sender, QWidget* ADialog) {
        EXPECT_EQ(Sender, &Engine);
        passed = ADialog;
        visibleWhenRaised.push_back(ADialog->isVisible());
        Sender->CancelCopy();
    };
    std::vector<bool> cancelledAtTheEnd;
    Engine.OnCopyDone = [&](TWebTransfer* Sender) { cancelledAtTheEnd.push_back(Sender->CancelRequested()); };
    // The completion state keeps the dialog of a run without jobs open for the test to see.
    Engine.ShowOpenFile = true;
    Engine.CancelCopy();
    Engine.Execute();
    Built = qobject_cast<TProgressForm*>(Engine.ProgressForm());

    EXPECT_EQ(passed, Built.data());
    EXPECT_EQ(visibleWhenRaised, std::vector<bool>{false});
    ASSERT_FALSE(Built.isNull());
    EXPECT_TRUE(Built->isVisible());
    EXPECT_EQ(cancelledAtTheEnd, std::vector<bool>{false}) << "the cancel flag is cleared after the event as well";
    EXPECT_TRUE(OpenFileBtn()->isEnabled()) << "a run that was not cancelled offers its file";
}

TEST_F(ProgressDialogTest, WithoutShowDialogTheDialogIsBuiltAndWrittenButNeverShown)
{
    Engine.ShowDialog = false;
    bool raised = false;
    Engine.OnBeforeDialogShow = [&](TWebTransfer*, QWidget*) { raised = true; };
    TProgressForm* form = Build();

    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(raised);
    EXPECT_FALSE(form->isVisible());
    Engine.SetDialogCaption(QStringLiteral("Downloading ..."));
    Engine.SetProgressMarquee(true);
    EXPECT_EQ(Engine.ProgressBar()->maximum(), 0);
    EXPECT_FALSE(form->isVisible());

    Engine.CloseProgressDialog();
    EXPECT_EQ(Engine.ProgressForm(), nullptr);
    EXPECT_TRUE(DialogFreed());
}

// ---- Writers ------------------------------------------------------------------------------

TEST_F(ProgressDialogTest, WritersChangeCaptionBarStyleAndClip)
{
    Build();
    Engine.SetDialogCaption(QStringLiteral("Downloading : 42% completed"));
    EXPECT_EQ(Engine.ProgressForm()->windowTitle(), QStringLiteral("Downloading : 42% completed"));

    Engine.SetProgressMarquee(true);
    EXPECT_EQ(Engine.ProgressBar()->minimum(), 0);
    EXPECT_EQ(Engine.ProgressBar()->maximum(), 0);
    Engine.SetProgressMarquee(false);
    EXPECT_EQ(Engine.ProgressBar()->maximum(), 100);

    Engine.SetAnimationClip(acUpload);
    EXPECT_EQ(Anim()->Clip(), acUpload);
    EXPECT_TRUE(Anim()->Playing());
    Engine.SetAnimationClip(acFileCopy);
    EXPECT_EQ(Anim()->Clip(), acFileCopy);
    EXPECT_TRUE(Anim()->Playing());
}

// ---- Cancel and closing -------------------------------------------------------------------

TEST_F(ProgressDialogTest, CancelRaisesOnCopyCancelFirstAndTheDialogStaysWhileTheRunGoesOn)
{
    std::vector<bool> cancelledWhenRaised;
    Engine.OnCopyCancel = [&](TWebTransfer* Sender) {
        EXPECT_EQ(Sender, &Engine);
        cancelledWhenRaised.push_back(Engine.CancelRequested());
    };
    TProgressForm* form = Build();

    ClickCancel();

    EXPECT_EQ(cancelledWhenRaised, std::vector<bool>{false});
    EXPECT_TRUE(Engine.CancelRequested());
    EXPECT_TRUE(form->isVisible()) << "the close is refused during a run";
    EXPECT_EQ(Engine.ProgressForm(), form);

    // The end of the run closes it; the window frees itself.
    Engine.CloseProgressDialog();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Engine.ProgressForm(), nullptr);
    EXPECT_TRUE(DialogFreed());
}

TEST_F(ProgressDialogTest, UserCannotCloseTheDialogDuringARunWithoutCloseBox)
{
    TProgressForm* form = Build();
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(DialogFreed());
}

TEST_F(ProgressDialogTest, WithCloseBoxCancelClosesTheDialogAtOnce)
{
    Engine.DlgShowCloseBtn = true;
    bool raised = false;
    Engine.OnCopyCancel = [&](TWebTransfer*) { raised = true; };
    Build();

    ClickCancel();

    EXPECT_TRUE(raised);
    EXPECT_TRUE(Engine.CancelRequested());
    EXPECT_EQ(Engine.ProgressForm(), nullptr);
    EXPECT_TRUE(DialogFreed());
}

TEST_F(ProgressDialogTest, DialogClosedByTheUserIsNeverWrittenToAgain)
{
    Engine.DlgShowCloseBtn = true;
    Engine.ShowOpenFile = true;
    TProgressForm* form = Build();
    TTransferAnimation* anim = Anim();
    QProgressBar* bar = Engine.ProgressBar();
    QPushButton* cancel = CancelBtn();
    QPushButton* openFile = OpenFileBtn();

    ASSERT_TRUE(form->close());

    // Nothing of the closed window is reachable, even before it is freed ...
    EXPECT_EQ(Engine.ProgressForm(), nullptr);
    EXPECT_EQ(Engine.ProgressBar(), nullptr);
    EXPECT_EQ(Engine.ProgressFileLabel(), nullptr);
    EXPECT_EQ(Engine.ProgressSizeLabel(), nullptr);
    EXPECT_EQ(Engine.ProgressRateLabel(), nullptr);
    // ... so what the rest of the run writes leaves it as it was.
    Engine.SetDialogCaption(QStringLiteral("Downloading : 50% completed"));
    Engine.SetProgressMarquee(true);
    Engine.SetAnimationClip(acUpload);
    Engine.ShowCompletionState();
    Engine.CloseProgressDialog();
    ASSERT_FALSE(Built.isNull());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Downloading ..."));
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(anim->Clip(), acDownload);
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    EXPECT_FALSE(openFile->isEnabled());
    EXPECT_TRUE(DialogFreed());
}

// ---- Completion state ---------------------------------------------------------------------

class ProgressDialogCompletion : public ProgressDialogTest {
protected:
    void SetUp() override
    {
        Engine.ShowOpenFile = true;
        Engine.ShowOpenFolder = true;
        Engine.OnCopyCancel = [this](TWebTransfer*) { ++CancelEvents; };
    }
    int CancelEvents = 0;
};

TEST_F(ProgressDialogCompletion, AfterANormalRunCloseAndBothOpenButtonsAreOffered)
{
    TProgressForm* form = Build();
    Engine.ShowCompletionState();

    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(CancelBtn()->text(), QStringLiteral("Close"));
    EXPECT_FALSE(Anim()->Playing());
    EXPECT_TRUE(OpenFileBtn()->isEnabled());
    EXPECT_TRUE(OpenFolderBtn()->isEnabled());

    // Close still reports a cancel, and now the window goes.
    ClickCancel();
    EXPECT_EQ(CancelEvents, 1);
    EXPECT_TRUE(Engine.CancelRequested());
    EXPECT_EQ(Engine.ProgressForm(), nullptr);
    EXPECT_FALSE(Engine.FormClosed());
    EXPECT_TRUE(DialogFreed());
}

TEST_F(ProgressDialogCompletion, AfterACancelledRunTheOpenButtonsStayDisabled)
{
    TProgressForm* form = Build();
    ClickCancel();
    ASSERT_TRUE(form->isVisible());
    Engine.ShowCompletionState();

    EXPECT_EQ(CancelBtn()->text(), QStringLiteral("Close"));
    EXPECT_FALSE(Anim()->Playing());
    EXPECT_FALSE(OpenFileBtn()->isEnabled());
    EXPECT_FALSE(OpenFolderBtn()->isEnabled());
    EXPECT_TRUE(form->close()) << "the completion window may be closed";
    EXPECT_TRUE(DialogFreed());
}

TEST_F(ProgressDialogCompletion, UserMayCloseTheCompletionWindowThroughItsFrame)
{
    TProgressForm* form = Build();
    Engine.ShowCompletionState();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(CancelEvents, 0);
    EXPECT_TRUE(DialogFreed());
}

struct OpenCase {
    const char* Name;
    bool OpenFolder;
};

class ProgressDialogOpen : public ProgressDialogCompletion, public testing::WithParamInterface<OpenCase> {};

TEST_P(ProgressDialogOpen, OpensWithoutWaitingClosesTheWindowAndSetsFormClosed)
{
    // A run that copied a file leaves its dialog open in the completion state.
    TempDir dir;
    TWebTransferItem* job = Engine.Items().Add();
    job->Protocol = wpFile;
    job->URL = dir.write(QStringLiteral("setup.txt"), "stand-in");
    job->TargetDir = dir.filePath(QStringLiteral("copied"));
    Engine.Execute();
    Built = qobject_cast<TProgressForm*>(Engine.ProgressForm());
    ASSERT_FALSE(Built.isNull());

    QPushButton* button = GetParam().OpenFolder ? OpenFolderBtn() : OpenFileBtn();
    QTest::mouseClick(button, Qt::LeftButton);

    EXPECT_TRUE(Engine.FormClosed());
    EXPECT_EQ(Engine.ProgressForm(), nullptr);
    EXPECT_EQ(CancelEvents, 0);
    EXPECT_FALSE(Engine.CancelRequested());
    EXPECT_TRUE(DialogFreed());
}

INSTANTIATE_TEST_SUITE_P(Buttons, ProgressDialogOpen,
                         testing::Values(OpenCase{"OpenFile", false}, OpenCase{"OpenFolder", true}),
                         caseName);

TEST_F(ProgressDialogTest, FormClosedIsClearedByTheNextRun)
{
    Engine.SetFormClosed(true);
    Build();
    EXPECT_FALSE(Engine.FormClosed());
}

TEST_F(ProgressDialogCompletion, NextRunReplacesAWindowLeftInItsCompletionState)
{
    TProgressForm* first = Build();
    Engine.ShowCompletionState();
    QPointer<TProgressForm> firstAlive = first;

    TProgressForm* second = Build();
    ASSERT_NE(second, first);
    FlushDeferredDeletes();
    EXPECT_TRUE(firstAlive.isNull());
    EXPECT_EQ(Engine.ProgressForm(), second);
    EXPECT_EQ(CancelBtn()->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(second->isVisible());
}

TEST_F(ProgressDialogTest, EngineFreesTheDialogItStillOwns)
{
    QPointer<TProgressForm> form;
    {
        TDialogEngine engine;
        engine.BuildProgressDialog();
        form = qobject_cast<TProgressForm*>(engine.ProgressForm());
        ASSERT_FALSE(form.isNull());
    }
    EXPECT_TRUE(form.isNull());
}

// ---- Escape -----------------------------------------------------------------------------

// Escape, wherever the focus is in the dialog, does what its Cancel (later Close) button does.
struct EscapeCase {
    const char* Name;
    bool Completed;     // the run is over: the button says Close
    bool ShowCancel;    // the dialog has the button at all
    bool Cancels;       // OnCopyCancel is raised and the run is cancelled
    bool Closes;        // the window goes
};

class ProgressDialogEscape : public ProgressDialogTest, public testing::WithParamInterface<EscapeCase> {
protected:
    // Builds the dialog in the case's state, lets the user do what Leave does, and checks what
    // happened.
    void Check(const std::function<void(TProgressForm*)>& Leave)
    {
        const EscapeCase& c = GetParam();
        Engine.DlgShowCancel = c.ShowCancel;
        int cancelEvents = 0;
        Engine.OnCopyCancel = [&](TWebTransfer*) { ++cancelEvents; };
        TProgressForm* form = Build();
        if (c.Completed)
            Engine.ShowCompletionState();

        Leave(form);

        EXPECT_EQ(cancelEvents, c.Cancels ? 1 : 0);
        EXPECT_EQ(Engine.CancelRequested(), c.Cancels);
        EXPECT_EQ(DialogFreed(), c.Closes);
    }
};

TEST_P(ProgressDialogEscape, DoesWhatTheCancelButtonDoes)
{
    Check([](TProgressForm* form) {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form->focusWidget() ? form->focusWidget() : form, Qt::Key_Escape);
    });
}

// The window system's close request (Alt+F4; the dialog has no close box) is taken as Escape.
TEST_P(ProgressDialogEscape, TheWindowSystemsCloseRequestDoesTheSame)
{
    Check([](TProgressForm* form) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(form->windowHandle());
    });
}

INSTANTIATE_TEST_SUITE_P(States, ProgressDialogEscape,
                         testing::Values(EscapeCase{"DuringTheRun", false, true, true, false},
                                         EscapeCase{"AfterTheRun", true, true, true, true},
                                         EscapeCase{"WithoutCancelButton", false, false, false, false}),
                         caseName);

TEST_F(ProgressDialogTest, EscapeWithAModifierIsLeftAlone)
{
    TProgressForm* form = Build();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_FALSE(Engine.CancelRequested());
}

} // namespace
