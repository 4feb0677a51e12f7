#include "tests/support/DownloadFixture.h"

#include "tests/support/CaseName.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FreePort.h"

#include <QTimer>

namespace {

class HttpFaults : public DownloadFixture {
protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    QString targetFile(const QString& name) const { return target.filePath(name); }

    ScriptedHttpServer server;
};

struct StatusCase {
    const char* name;
    int status;
};

class HttpStatus : public HttpFaults, public testing::WithParamInterface<StatusCase> {};

TEST_P(HttpStatus, StatusOf300OrMoreIsReportedAndNoFileIsMade)
{
    const int status = GetParam().status;
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/status/page.html?code=%1").arg(status)));
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("Error %1").arg(status),
                                       QStringLiteral("ErrorInfo %1 Returned http error code %1").arg(status),
                                       QStringLiteral("FileDone 0"), QStringLiteral("CopyDone")}));
    EXPECT_TRUE(targetEntries().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Statuses, HttpStatus,
                         testing::Values(StatusCase{"NotFound", 404}, StatusCase{"Forbidden", 403},
                                         StatusCase{"ServerError", 500}, StatusCase{"Unauthorised", 401},
                                         StatusCase{"NotModified", 304}),
                         caseName);

TEST_F(HttpFaults, UnreachableServerReportsTheUrlNotFound)
{
    const QString url = QStringLiteral("http://127.0.0.1:%1/setup.exe").arg(freeTcpPort());
    TWebTransferItem* job = addJob(url);
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("URLNotFound ") + url,
                                       QStringLiteral("FileDone 0"), QStringLiteral("CopyDone")}));
}

TEST_F(HttpFaults, ServerThatNeverAnswersTimesOut)
{
    run.Timeout = 1;
    const QString url = server.url(QStringLiteral("/silent/setup.exe"));
    TWebTransferItem* job = addJob(url);
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("URLNotFound")), QStringList{QStringLiteral("URLNotFound ") + url});
    EXPECT_TRUE(targetEntries().isEmpty());
}

TEST_F(HttpFaults, StalledBodyTimesOutAsAnInterruptedTransfer)
{
    run.Timeout = 1;
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/stall/setup.exe?size=5000")));
    job->TargetFilename = QStringLiteral("setup.exe");
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("Error")),
              (QStringList{QStringLiteral("Error 7"),
                           QStringLiteral("ErrorInfo 7 Transfer interrupted ") + targetFile(QStringLiteral("setup.exe"))}));
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

TEST_F(HttpFaults, ConnectionDroppedMidBodyIsInterruptedAndKeepsTheOldFile)
{
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/drop/setup.exe?size=6000")));
    job->TargetFilename = QStringLiteral("setup.exe");
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              QStringList{QStringLiteral("ErrorInfo 7 Transfer interrupted ") + targetFile(QStringLiteral("setup.exe"))});
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

TEST_F(HttpFaults, CancelDuringAStallIsHeardAndKeepsTheOldFile)
{
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/stall/setup.exe?size=5000")));
    job->TargetFilename = QStringLiteral("setup.exe");
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(5);
    bool armed = false;
    auto original = run.OnCopyProgress;
    run.OnCopyProgress = [&](TTransferRun* sender, int fileidx, std::int64_t size, std::int64_t total) {
        original(sender, fileidx, size, total);
        if (!armed && size == 5000) {
            armed = true;
            // The user cancels once the transfer hangs; ticks shows the event loop kept turning.
            QTimer::singleShot(100, [&] {
                if (ticks > 0)
                    run.CancelCopy();
            });
        }
    };
    run.Execute();
    EXPECT_TRUE(job->Cancelled());
    EXPECT_FALSE(job->Success());
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("CopyDone")}));
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

struct EscapeCase {
    const char* name;
    const char* path;
};

class HttpNameEscape : public HttpFaults, public testing::WithParamInterface<EscapeCase> {};

TEST_P(HttpNameEscape, NameFromTheAddressCannotLeaveTheTargetDirectory)
{
    run.AutoURLDecode = true;
    TWebTransferItem* job = addJob(server.url(QString::fromUtf8(GetParam().path)), target.filePath(QStringLiteral("inner")));
    run.Execute();
    EXPECT_FALSE(job->Success());
    const QStringList errors = events.only(QStringLiteral("ErrorInfo"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("ErrorInfo 3 Cannot create file "))) << errors[0].toStdString();
    EXPECT_TRUE(targetEntries().isEmpty() || targetEntries() == QStringList{QStringLiteral("inner")});
    EXPECT_TRUE(QDir(target.filePath(QStringLiteral("inner"))).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Names, HttpNameEscape,
                         testing::Values(EscapeCase{"DecodedParent", "/file/..%2Fescape.txt"},
                                         EscapeCase{"DecodedBackslash", "/file/..%5Cescape.txt"},
                                         EscapeCase{"EncodedDots", "/file/%2E%2E"},
                                         EscapeCase{"EndsInSeparator", "/file/"}),
                         caseName);

TEST_F(HttpFaults, TargetDirectoryThatCannotBeMadeIsError3)
{
    target.write(QStringLiteral("blocker"), "a file, not a directory");
    const QString dir = target.filePath(QStringLiteral("blocker/sub"));
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/file/setup.exe?size=100")), dir);
    job->TargetFilename = QStringLiteral("setup.exe");
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("Error")),
              (QStringList{QStringLiteral("Error 3"), QStringLiteral("ErrorInfo 3 Cannot create file ") + dir
                                                          + QStringLiteral("/setup.exe")}));
}

// No Content-Length: the room cannot be checked beforehand, and the disk fills up on the way.
TEST_F(HttpFaults, FullDiskIsError5AndTheRunGoesOn)
{
    const QString big = server.url(QStringLiteral("/nolength/big.bin?size=1000000"));
    const QString small = server.url(QStringLiteral("/file/small.bin?size=1000"));
    TWebTransferItem* first = addJob(big);
    first->TargetFilename = QStringLiteral("big.bin");
    TWebTransferItem* second = addJob(small);
    second->TargetFilename = QStringLiteral("small.bin");
    {
        const FileSizeLimit limit(64 * 1024);
        run.Execute();
    }
    EXPECT_FALSE(first->Success());
    EXPECT_TRUE(second->Success());
    EXPECT_EQ(events.log,
              (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("Error 5"),
                           QStringLiteral("ErrorInfo 5 Error writing to destination file ") + targetFile(QStringLiteral("big.bin")),
                           QStringLiteral("FileDone 0"), QStringLiteral("FileStart 1"), QStringLiteral("FileDone 1"),
                           QStringLiteral("CopyDone")}));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("small.bin")});
}

TEST_F(HttpFaults, CancelDuringTheBodyKeepsTheExistingFile)
{
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/file/setup.exe?size=200000")));
    job->TargetFilename = QStringLiteral("setup.exe");
    auto original = run.OnCopyProgress;
    run.OnCopyProgress = [&](TTransferRun* sender, int fileidx, std::int64_t size, std::int64_t total) {
        original(sender, fileidx, size, total);
        if (events.progress.size() == 1)
            sender->CancelCopy();
    };
    run.Execute();
    EXPECT_TRUE(job->Cancelled());
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.progress.size(), 1u) << "the transfer goes on after Cancel";
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

} // namespace
