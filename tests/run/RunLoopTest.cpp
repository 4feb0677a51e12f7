#include "transfer/WebTransfer.h"

#include "tests/support/CaseName.h"
#include "tests/support/ClickButton.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/NginxServer.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitFor.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class RunLoop : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.bin", "b.bin", "c.bin"})
            served.write(QStringLiteral("files/") + QLatin1String(name), QByteArray(9000, 'x'));
        ASSERT_TRUE(nginx.isRunning());
    }

    TWebTransferItem* addJob(const QString& name)
    {
        TWebTransferItem* item = engine.Items().Add();
        item->URL = nginx.url(QStringLiteral("/files/") + name);
        item->TargetDir = target.path();
        return item;
    }

    void clickCancel() { clickButton(engine.ProgressForm(), engine.DlgCancel); }

    TempDir served;
    TempDir target;
    NginxServer nginx{served.path()};
    TWebTransfer engine;
    EngineEvents events{engine};
};

TEST_F(RunLoop, EmptyListShowsTheDialogAndStillEndsWithCopyDone)
{
    int shown = 0;
    engine.OnBeforeDialogShow = [&](TWebTransfer*, QWidget* dialog) {
        EXPECT_EQ(dialog, engine.ProgressForm());
        ++shown;
    };
    engine.Execute();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(events.log, QStringList{QStringLiteral("CopyDone")});
    EXPECT_TRUE(!engine.ProgressForm() || !engine.ProgressForm()->isVisible());
}

TEST_F(RunLoop, InactiveJobIsSkippedAndKeepsItsResults)
{
    addJob(QStringLiteral("a.bin"));
    TWebTransferItem* middle = addJob(QStringLiteral("b.bin"));
    addJob(QStringLiteral("c.bin"));
    engine.Execute();
    ASSERT_TRUE(middle->Success());

    middle->Active = false;
    middle->URL = nginx.url(QStringLiteral("/missing.bin"));
    events.log.clear();
    events.progress.clear();
    engine.Execute();

    EXPECT_TRUE(middle->Success());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                       QStringLiteral("FileStart 2"), QStringLiteral("FileDone 2"),
                                       QStringLiteral("CopyDone")}));
    ASSERT_FALSE(events.progress.empty());
    EXPECT_EQ(events.progress.front().fileIndex, 1);
    EXPECT_EQ(events.progress.back().fileIndex, 2);
}

TEST_F(RunLoop, CancelStopsTheRunAfterTheCurrentJob)
{
    TWebTransferItem* first = addJob(QStringLiteral("a.bin"));
    TWebTransferItem* second = addJob(QStringLiteral("b.bin"));
    TWebTransferItem* third = addJob(QStringLiteral("c.bin"));
    engine.Execute();
    ASSERT_TRUE(third->Success());
    QFile::remove(target.filePath(QStringLiteral("c.bin")));
    events.log.clear();

    engine.OnCopyProgress = [&](TWebTransfer*, int fileidx, std::int64_t, std::int64_t) {
        if (fileidx == 2)
            clickCancel();
    };
    engine.Execute();

    EXPECT_TRUE(first->Success());
    EXPECT_FALSE(second->Success());
    EXPECT_TRUE(second->Cancelled());
    EXPECT_TRUE(third->Success()) << "a job after the cancel keeps its old results";
    EXPECT_FALSE(third->Cancelled());
    EXPECT_FALSE(QFile::exists(target.filePath(QStringLiteral("c.bin"))));
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                       QStringLiteral("FileStart 1"), QStringLiteral("CopyCancel"),
                                       QStringLiteral("CopyDone")}));
}

TEST_F(RunLoop, HiddenDialogChangesNothingButTheWindow)
{
    engine.ShowDialog = false;
    int shown = 0;
    engine.OnBeforeDialogShow = [&](TWebTransfer*, QWidget*) { ++shown; };
    TWebTransferItem* job = addJob(QStringLiteral("a.bin"));
    engine.Execute();
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                       QStringLiteral("CopyDone")}));
    EXPECT_FALSE(events.progress.empty());
}

TEST_F(RunLoop, DialogClosedByTheUserDuringARunLetsTheRunFinish)
{
    engine.DlgShowCloseBtn = true;
    TWebTransferItem* first = addJob(QStringLiteral("a.bin"));
    TWebTransferItem* second = addJob(QStringLiteral("b.bin"));
    engine.OnCopyProgress = [&](TWebTransfer*, int, std::int64_t, std::int64_t) {
        if (engine.ProgressForm() && engine.ProgressForm()->isVisible())
            engine.ProgressForm()->close();
    };
    engine.Execute();
    EXPECT_TRUE(first->Success());
    EXPECT_TRUE(second->Success());
    EXPECT_EQ(target.read(QStringLiteral("b.bin")), QByteArray(9000, 'x'));
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

TEST_F(RunLoop, CompletionStateFollowsCopyDoneAndKeepsTheDialog)
{
    engine.ShowOpenFile = true;
    addJob(QStringLiteral("a.bin"));
    auto cancelButtonText = [&] {
        for (QPushButton* button : engine.ProgressForm()->findChildren<QPushButton*>())
            if (button->text() == engine.DlgCancel || button->text() == engine.DlgClose)
                return button->text();
        return QString();
    };
    QString duringCopyDone;
    engine.OnCopyDone = [&](TWebTransfer*) { duringCopyDone = cancelButtonText(); };
    engine.Execute();
    EXPECT_EQ(duringCopyDone, QStringLiteral("Cancel"));
    ASSERT_TRUE(engine.ProgressForm());
    EXPECT_TRUE(engine.ProgressForm()->isVisible());
    EXPECT_EQ(cancelButtonText(), QStringLiteral("Close"));
}

TEST_F(RunLoop, CancelBeforeARunHasNoEffect)
{
    TWebTransferItem* job = addJob(QStringLiteral("a.bin"));
    engine.CancelCopy();
    engine.Execute();
    EXPECT_TRUE(job->Success());
}

TEST_F(RunLoop, FailedJobIsReportedAndTheRunGoesOn)
{
    TWebTransferItem* missing = addJob(QStringLiteral("none.bin"));
    TWebTransferItem* present = addJob(QStringLiteral("a.bin"));
    engine.Execute();
    EXPECT_FALSE(missing->Success());
    EXPECT_TRUE(present->Success());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("Error 404"),
                                       QStringLiteral("ErrorInfo 404 Returned http error code 404"),
                                       QStringLiteral("FileDone 0"), QStringLiteral("FileStart 1"),
                                       QStringLiteral("FileDone 1"), QStringLiteral("CopyDone")}));
}

struct CaptionCase {
    const char* name;
    TWebTransferProtocol protocol;
    const char* caption;
};

class RunCaption : public RunLoop, public testing::WithParamInterface<CaptionCase> {};

TEST_P(RunCaption, CaptionNamesWhatTheJobDoes)
{
    engine.DlgCaption = QStringLiteral("Starting");
    engine.Items().Add()->Protocol = GetParam().protocol;
    QString caption;
    engine.OnFileDone = [&](TWebTransfer*, int) { caption = engine.ProgressForm()->windowTitle(); };
    engine.Execute();
    EXPECT_EQ(caption, QString::fromUtf8(GetParam().caption));
}

INSTANTIATE_TEST_SUITE_P(Protocols, RunCaption,
                         testing::Values(CaptionCase{"Ftp", wpFtp, "Downloading ..."},
                                         CaptionCase{"MultiFtp", wpMultiFtp, "Downloading ..."},
                                         CaptionCase{"File", wpFile, "Copying ..."},
                                         CaptionCase{"FtpUpload", wpFtpUpload, "Uploading ..."},
                                         CaptionCase{"HttpUpload", wpHttpUpload, "Uploading ..."},
                                         CaptionCase{"MultiFtpUpload", wpMultiFtpUpload, "Uploading ..."},
                                         CaptionCase{"FtpDelete", wpFtpDelete, "Starting ..."},
                                         CaptionCase{"FtpList", wpFtpList, "Starting ..."},
                                         CaptionCase{"FtpTest", wpFtpTest, "Starting ..."}),
                         caseName);


TEST_F(RunLoop, ThreadExecuteReturnsBeforeTheRunAndRunsItOnThisThread)
{
    addJob(QStringLiteral("a.bin"));
    const QThread* runThread = nullptr;
    engine.OnFileStart = [&](TWebTransfer*, int) { runThread = QThread::currentThread(); };
    engine.ThreadExecute();
    EXPECT_EQ(runThread, nullptr);
    ASSERT_TRUE(waitFor([&] { return events.log.contains(QStringLiteral("CopyDone")); }, 10000));
    EXPECT_EQ(runThread, QThread::currentThread());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileDone 0"), QStringLiteral("CopyDone")}));
}

TEST(RunThread, EngineDestroyedBeforeItsRunBeganEndsTheWorkerWithoutARun)
{
    bool ran = false;
    {
        TWebTransfer engine;
        engine.OnCopyDone = [&](TWebTransfer*) { ran = true; };
        engine.ThreadExecute();
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

TEST_F(RunLoop, ThreadExecAndWaitReturnsOnlyAfterTheRunIsDone)
{
    TWebTransferItem* job = addJob(QStringLiteral("a.bin"));
    engine.ThreadExecAndWait();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                       QStringLiteral("CopyDone")}));
}

// The engine's dialogs during a real transfer, worked as a user works them: what the run tells
// its user reaches the dialog, and what the user does in the dialog reaches the run. The run's
// own behaviour is tested without a window in the engine's tests.
class RunDialogs : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    TWebTransferItem* addJob(const QString& path)
    {
        TWebTransferItem* item = engine.Items().Add();
        item->URL = server.url(path);
        item->TargetDir = target.path();
        item->TargetFilename = QStringLiteral("setup.exe");
        return item;
    }

    ScriptedHttpServer server;
    TempDir target;
    TWebTransfer engine;
    EngineEvents events{engine};
};

TEST_F(RunDialogs, ProgressDialogShowsTheLinesOfTheDownload)
{
    engine.ShowCompletion = true;
    TWebTransferItem* job = addJob(QStringLiteral("/file/size=10000/setup.exe"));
    QString fileLine, sizeLine, caption;
    int bar = -1;
    engine.OnFileDone = [&](TWebTransfer*, int) {
        fileLine = engine.ProgressFileLabel()->text();
        sizeLine = engine.ProgressSizeLabel()->text();
        caption = engine.ProgressForm()->windowTitle();
        bar = engine.ProgressBar()->value();
    };
    engine.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(fileLine, QStringLiteral("File : setup.exe from 127.0.0.1:%1").arg(server.port()));
    EXPECT_EQ(sizeLine, QStringLiteral("Progress : 10.00 Kb of 10.00 Kb"));
    EXPECT_EQ(caption, QStringLiteral("Downloading : 100% completed"));
    EXPECT_EQ(bar, 100);
}

TEST_F(RunDialogs, LoginDialogOpenedByA401AsksUntilTheServerAccepts)
{
    ModalAnswerer answerer({{{QStringLiteral("bob"), QStringLiteral("wrong")}, QStringLiteral("OK")},
                            {{QStringLiteral("alice"), QStringLiteral("secret")}, QStringLiteral("OK")}});
    TWebTransferItem* job = addJob(QStringLiteral("/auth/setup.exe?user=alice&pass=secret&size=3000"));
    job->Authenticate = waAuto;
    engine.Execute();
    EXPECT_TRUE(job->Success());
    const QString caption = QStringLiteral("Connect to 127.0.0.1:%1").arg(server.port());
    EXPECT_EQ(answerer.captions(), (QStringList{caption, caption}));
    EXPECT_EQ(server.authorizations(), (QStringList{QStringLiteral("none"), ScriptedHttpServer::basic("bob:wrong"),
                                                    ScriptedHttpServer::basic("alice:secret")}));
    EXPECT_TRUE(events.only(QStringLiteral("Error")).isEmpty());
}

TEST_F(RunDialogs, LoginDialogCancelledEndsTheJobSilently)
{
    ModalAnswerer answerer({{{}, QStringLiteral("Cancel")}});
    TWebTransferItem* job = addJob(QStringLiteral("/auth/setup.exe?user=alice&pass=secret&size=3000"));
    job->Authenticate = waAlways;
    engine.Execute();
    EXPECT_EQ(answerer.answered(), 1);
    EXPECT_FALSE(job->Success());
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                       QStringLiteral("CopyDone")}));
}

// The network layer waits on a server that has stopped sending; the dialog goes on taking
// clicks meanwhile.
TEST_F(RunDialogs, CancelButtonDuringAStalledDownloadKeepsTheOldFile)
{
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob(QStringLiteral("/stall/setup.exe?size=5000"));
    QTimer click;
    click.setSingleShot(true);
    QObject::connect(&click, &QTimer::timeout, [&] { clickButton(engine.ProgressForm(), engine.DlgCancel); });
    bool armed = false;
    auto recorded = engine.OnCopyProgress;
    engine.OnCopyProgress = [&](TWebTransfer* sender, int fileidx, std::int64_t size, std::int64_t total) {
        recorded(sender, fileidx, size, total);
        if (size == 5000 && !armed) {
            armed = true;
            click.start(100);
        }
    };
    engine.Execute();
    EXPECT_TRUE(job->Cancelled());
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("CopyCancel"),
                                       QStringLiteral("CopyDone")}));
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("setup.exe")});
}

// A run quicker than the dialog's delay shows no window at all, its completion state
// included; one that stalls shows the dialog, and its Cancel ends the run.
TEST_F(RunDialogs, DelayedDialogAppearsOnlyForARunThatOutlastsTheDelay)
{
    engine.DialogDelay = 1500;
    engine.ShowCompletion = true;
    int shown = 0;
    engine.OnBeforeDialogShow = [&](TWebTransfer*, QWidget*) { ++shown; };
    TWebTransferItem* quick = addJob(QStringLiteral("/file/size=3000/setup.exe"));
    engine.Execute();
    EXPECT_TRUE(quick->Success());
    QTest::qWait(2000);
    EXPECT_EQ(shown, 0) << "neither during the run nor after it";
    EXPECT_TRUE(!engine.ProgressForm() || !engine.ProgressForm()->isVisible());

    engine.Items().Clear();
    TWebTransferItem* stalled = addJob(QStringLiteral("/stall/setup.exe?size=5000"));
    engine.OnBeforeDialogShow = [&](TWebTransfer*, QWidget*) {
        ++shown;
        QTimer::singleShot(100, [&] { clickButton(engine.ProgressForm(), engine.DlgCancel); });
    };
    engine.Execute();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(stalled->Cancelled());
}

} // namespace
