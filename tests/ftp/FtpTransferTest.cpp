#include "tests/support/FtpFixture.h"

#include "tests/support/CaseName.h"
#include "tests/support/FileSizeLimit.h"
#include "transfer/DateConversions.h"

#include <QFileInfo>
#include <QTcpServer>
#include <QTimer>

#include <ostream>

namespace {

struct ModeCase {
    const char* name;
    bool passive;
    TFTPMode mode;
};

class FtpModes : public FtpFixture, public testing::WithParamInterface<ModeCase> {};

TEST_P(FtpModes, DownloadAndUploadArriveWhole)
{
    const ModeCase& mode = GetParam();
    run.FTPPassive = mode.passive;
    run.FTPMode = mode.mode;
    const QString dir = QString::fromLatin1(mode.name);
    const QByteArray data = mode.mode == fmASCII ? QByteArray("one\r\ntwo\r\n") : patternedBytes(70000, PrimePattern);
    writeFile(remote(dir + QStringLiteral("/get.bin")), data);
    const QString local = target.write(QStringLiteral("put.bin"), data);

    addJob(wpFtp, QStringLiteral("/") + dir + QStringLiteral("/get.bin"), target.path());
    TWebTransferItem* upload = addJob(wpFtpUpload, local, dir + QStringLiteral("/up"));
    run.Execute();

    EXPECT_TRUE(run.Items()[0]->Success()) << events.log.join(u'\n').toStdString();
    EXPECT_TRUE(upload->Success()) << events.log.join(u'\n').toStdString();
    // In ASCII the server's CR LF line ends become the local ones.
    EXPECT_EQ(readFile(target.path() + QStringLiteral("/get.bin")),
              mode.mode == fmASCII ? QByteArray("one\ntwo\n") : data);
    EXPECT_EQ(readFile(remote(dir + QStringLiteral("/up/put.bin"))), data);
    EXPECT_EQ(server->events().filter(QStringLiteral("stor")).last(),
              mode.mode == fmASCII ? QStringLiteral("stor a put.bin") : QStringLiteral("stor i put.bin"));
    ASSERT_FALSE(events.progress.empty());
    EXPECT_EQ(events.progress.back().fileIndex, 2);
    EXPECT_TRUE(events.only(QStringLiteral("Error")).isEmpty()) << events.log.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Ftp, FtpModes,
                         testing::Values(ModeCase{"ActiveBinary", false, fmBINARY},
                                         ModeCase{"PassiveBinary", true, fmBINARY},
                                         ModeCase{"PassiveAscii", true, fmASCII}),
                         caseName);

using FtpTransfer = FtpFixture;

TEST_F(FtpTransfer, TwoDownloadsShareOneLoginAndFindTheDirectoryRestored)
{
    writeFile(remote(QStringLiteral("pub/one.txt")), "one");
    writeFile(remote(QStringLiteral("pub/two.txt")), "wrong directory");
    writeFile(remote(QStringLiteral("two.txt")), "two");
    addJob(wpFtp, QStringLiteral("/pub/one.txt"), target.path());
    addJob(wpFtp, QStringLiteral("two.txt"), target.path());
    const qsizetype before = server->logins().size();
    run.Execute();

    EXPECT_EQ(server->logins().size(), before + 1);
    EXPECT_EQ(readFile(target.path() + QStringLiteral("/one.txt")), QByteArray("one"));
    EXPECT_EQ(readFile(target.path() + QStringLiteral("/two.txt")), QByteArray("two"));
}

TEST_F(FtpTransfer, KeptConnectionIsNotUsedByTheNextRun)
{
    writeFile(remote(QStringLiteral("again.txt")), "again");
    addJob(wpFtp, QStringLiteral("again.txt"), target.path());
    addJob(wpFtp, QStringLiteral("again.txt"), target.path())->TargetFilename = QStringLiteral("second.txt");
    const qsizetype before = server->logins().size();
    run.Execute();
    run.Execute();
    EXPECT_EQ(server->logins().size(), before + 2);
    EXPECT_TRUE(run.Items()[1]->Success());
}

TEST_F(FtpTransfer, MissingFileIsReportedAndWritesNothing)
{
    addJob(wpFtp, QStringLiteral("/nothing/here.bin"), target.path());
    addJob(wpFtp, QStringLiteral("absent.bin"), target.path());
    run.Execute();
    EXPECT_EQ(events.only(QStringLiteral("URLNotFound")),
              (QStringList{QStringLiteral("URLNotFound /nothing/here.bin"), QStringLiteral("URLNotFound absent.bin")}));
    EXPECT_TRUE(events.only(QStringLiteral("Error")).isEmpty());
    EXPECT_FALSE(run.Items()[0]->Success());
    EXPECT_TRUE(QDir(target.path()).isEmpty());
}

TEST_F(FtpTransfer, DownloadNewerOnlyComparesWithTheJobsDate)
{
    writeFile(remote(QStringLiteral("dated/file.txt")), "dated");
    setModified(remote(QStringLiteral("dated/file.txt")), 2020, 6, 1);
    TWebTransferItem* older = addJob(wpFtp, QStringLiteral("/dated/file.txt"), target.path());
    older->CopyNewerOnly = true;
    older->FileDate = 44197; // 2021-01-01: the server's copy is older
    older->TargetFilename = QStringLiteral("skipped.txt");
    TWebTransferItem* newer = addJob(wpFtp, QStringLiteral("/dated/file.txt"), target.path());
    newer->CopyNewerOnly = true;
    newer->FileDate = 43466; // 2019-01-01
    run.Execute();

    EXPECT_FALSE(older->Success());
    EXPECT_TRUE(older->NoNewVersion());
    EXPECT_EQ(events.only(QStringLiteral("NoNewFileFound")).size(), 1);
    EXPECT_FALSE(QFile::exists(target.path() + QStringLiteral("/skipped.txt")));
    EXPECT_TRUE(newer->Success());
    EXPECT_FALSE(newer->NoNewVersion());
    EXPECT_NEAR(newer->NewFileDate, 43983, 1.0); // 2020-06-01, as the listing shows it
    EXPECT_EQ(readFile(target.path() + QStringLiteral("/file.txt")), QByteArray("dated"));
}

// The server lists in universal time; a file it shows as changed early tomorrow, as a server
// whose clock or time zone runs hours ahead of ours does, was changed just now.
TEST_F(FtpTransfer, DownloadNewerOnlyTakesAFileListedAheadOfOurClock)
{
    const QDate today = QDate::currentDate();
    const QDateTime listed(today.addDays(1), QTime(1, 0), Qt::UTC);
    writeFile(remote(QStringLiteral("ahead/fresh.txt")), "fresh");
    setModified(remote(QStringLiteral("ahead/fresh.txt")), listed);
    TWebTransferItem* item = addJob(wpFtp, QStringLiteral("/ahead/fresh.txt"), target.path());
    item->CopyNewerOnly = true;
    item->FileDate = DateTimeFromQDateTime(QDateTime(today.addDays(-1), QTime(12, 0))); // our copy: yesterday
    run.Execute();

    EXPECT_TRUE(item->Success()) << events.log.join(u'\n').toStdString();
    EXPECT_FALSE(item->NoNewVersion());
    EXPECT_TRUE(events.only(QStringLiteral("NoNewFileFound")).isEmpty());
    EXPECT_DOUBLE_EQ(item->NewFileDate, DateTimeFromQDateTime(QDateTime(listed.date(), listed.time())));
    EXPECT_EQ(readFile(target.path() + QStringLiteral("/fresh.txt")), QByteArray("fresh"));
}

TEST_F(FtpTransfer, UploadNewerOnlyKeepsANewerRemoteCopy)
{
    writeFile(remote(QStringLiteral("keep/file.txt")), "remote");
    setModified(remote(QStringLiteral("keep/file.txt")), 2020, 6, 1);
    const QString local = target.write(QStringLiteral("file.txt"), "local");
    TWebTransferItem* kept = addJob(wpFtpUpload, local, QStringLiteral("keep"));
    kept->CopyNewerOnly = true;
    kept->FileDate = 43466; // the remote copy is newer
    run.Execute();
    EXPECT_FALSE(kept->Success());
    EXPECT_TRUE(kept->NoNewVersion());
    EXPECT_EQ(readFile(remote(QStringLiteral("keep/file.txt"))), QByteArray("remote"));

    kept->FileDate = 44197; // now the remote copy is older
    run.Execute();
    EXPECT_TRUE(kept->Success());
    EXPECT_EQ(readFile(remote(QStringLiteral("keep/file.txt"))), QByteArray("local"));
}

TEST_F(FtpTransfer, UploadCreatesEachMissingLevel)
{
    const QString local = target.write(QStringLiteral("report.txt"), "report");
    addJob(wpFtpUpload, local, QStringLiteral("in/2024"));
    run.Execute();
    EXPECT_TRUE(run.Items()[0]->Success()) << events.log.join(u'\n').toStdString();
    EXPECT_EQ(readFile(remote(QStringLiteral("in/2024/report.txt"))), QByteArray("report"));
}

// An upload closes its connection at the end: the next upload logs in again.
TEST_F(FtpTransfer, UploadsToTwoRelativeDirectoriesEachLogInAndLandWhereNamed)
{
    const QString first = target.write(QStringLiteral("first.txt"), "1");
    const QString second = target.write(QStringLiteral("second.txt"), "2");
    addJob(wpFtpUpload, first, QStringLiteral("rel/first"));
    addJob(wpFtpUpload, second, QStringLiteral("rel/second"));
    const qsizetype before = server->logins().size();
    run.Execute();
    EXPECT_EQ(server->logins().size(), before + 2);
    EXPECT_EQ(readFile(remote(QStringLiteral("rel/first/first.txt"))), QByteArray("1"));
    EXPECT_EQ(readFile(remote(QStringLiteral("rel/second/second.txt"))), QByteArray("2"));
}

// After an upload into "in", a job that names no directory works where the login put it, as
// on a connection of its own.
struct AfterUploadCase {
    const char* name;
    TWebTransferProtocol protocol;
    friend void PrintTo(const AfterUploadCase& c, std::ostream* os) { *os << c.name; }
};

class FtpAfterUpload : public FtpFixture, public testing::WithParamInterface<AfterUploadCase> {};

TEST_P(FtpAfterUpload, NextJobStartsFromTheLoginDirectory)
{
    const QString dir = QString::fromLatin1(GetParam().name);
    // The server's root is the login directory of every test: the names are kept apart.
    const QString top = dir + QStringLiteral("-top.txt");
    writeFile(remote(top), "top");
    writeFile(remote(QStringLiteral("in/") + top), "inside in");
    const QString source = target.write(QStringLiteral("source.txt"), "source");
    addJob(wpFtpUpload, source, QStringLiteral("in"))->TargetFilename = dir + QStringLiteral("-first.txt");
    TWebTransferItem* next = nullptr;
    if (GetParam().protocol == wpFtp) {
        next = addJob(wpFtp, top, target.path());
    } else {
        next = addJob(wpFtpUpload, source, QString());
        next->TargetFilename = dir + QStringLiteral("-second.txt");
    }
    const qsizetype before = server->logins().size();
    run.Execute();

    EXPECT_TRUE(run.Items()[0]->Success()) << events.log.join(u'\n').toStdString();
    EXPECT_TRUE(next->Success()) << events.log.join(u'\n').toStdString();
    EXPECT_EQ(server->logins().size(), before + 2);
    EXPECT_EQ(readFile(remote(QStringLiteral("in/") + dir + QStringLiteral("-first.txt"))), QByteArray("source"));
    if (GetParam().protocol == wpFtp) {
        EXPECT_EQ(readFile(target.path() + u'/' + top), QByteArray("top"));
    } else {
        EXPECT_EQ(readFile(remote(dir + QStringLiteral("-second.txt"))), QByteArray("source"));
        EXPECT_FALSE(QFile::exists(remote(QStringLiteral("in/") + dir + QStringLiteral("-second.txt"))));
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, FtpAfterUpload,
                         testing::Values(AfterUploadCase{"DownloadOfARelativeName", wpFtp},
                                         AfterUploadCase{"UploadWithoutADirectory", wpFtpUpload}),
                         caseName);

TEST_F(FtpTransfer, UploadLogsEveryStep)
{
    const QString local = target.write(QStringLiteral("logged.txt"), patternedBytes(5000, PrimePattern));
    run.LogfileName = target.path() + QStringLiteral("/upload.log");
    addJob(wpFtpUpload, local, QStringLiteral("logs"));
    run.Execute();
    QStringList messages;
    for (const QString& line : QString::fromUtf8(readFile(run.LogfileName)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        messages << line.mid(line.indexOf(QStringLiteral(" : ")) + 3);
    EXPECT_EQ(messages, (QStringList{QStringLiteral("start ftp upload"), QStringLiteral("connected to server:127.0.0.1"),
                                     QStringLiteral("start to upload file:") + local, QStringLiteral("filesize:5000"),
                                     QStringLiteral("uploaded:4096"), QStringLiteral("uploaded:5000"),
                                     QStringLiteral("done upload:5000"), QStringLiteral("done ftp upload")}));
}

TEST_F(FtpTransfer, UploadOfAMissingFileCreatesNothingRemote)
{
    run.LogfileName = target.path() + QStringLiteral("/upload.log");
    const QString local = target.path() + QStringLiteral("/not-there.txt");
    addJob(wpFtpUpload, local, QStringLiteral("empty"));
    run.Execute();
    EXPECT_EQ(events.log.mid(1, 3), (QStringList{QStringLiteral("URLNotFound ") + local, QStringLiteral("Error 1"),
                                                 QStringLiteral("ErrorInfo 1 Cannot open source file ") + local}));
    EXPECT_FALSE(run.Items()[0]->Success());
    EXPECT_FALSE(QFile::exists(remote(QStringLiteral("empty/not-there.txt"))));
    const QString log = QString::fromUtf8(readFile(run.LogfileName));
    EXPECT_TRUE(log.contains(QStringLiteral("start ftp upload")));
    EXPECT_TRUE(log.contains(QStringLiteral("connected to server:127.0.0.1")));
    EXPECT_FALSE(log.contains(QStringLiteral("start to upload file:")));
    EXPECT_FALSE(log.contains(QStringLiteral("done ftp upload")));
}

TEST_F(FtpTransfer, ServerDownOrLoginRefusedIsErrorSix)
{
    addJob(wpFtp, QStringLiteral("a.txt"), target.path())->FTPPassword = QStringLiteral("wrong");
    TWebTransferItem* down = addJob(wpFtpUpload, target.write(QStringLiteral("b.txt"), "b"), QStringLiteral("x"));
    {
        FtpServer stopped;
        down->FTPPort = stopped.port();
    }
    run.Execute();
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              (QStringList{QStringLiteral("ErrorInfo 6 Cannot connect to FTP server 127.0.0.1"),
                           QStringLiteral("ErrorInfo 6 Cannot connect to FTP server 127.0.0.1")}));
    EXPECT_FALSE(run.Items()[0]->Success());
    EXPECT_FALSE(down->Success());
}

TEST_F(FtpTransfer, ConnectionDroppedMidFileIsAFailureAndKeepsTheOldFile)
{
    FtpServer dying;
    ASSERT_TRUE(dying.isRunning());
    writeFile(dying.rootDir() + QStringLiteral("/big.bin"), patternedBytes(32 * 1024 * 1024, PrimePattern));
    const QString existing = target.write(QStringLiteral("big.bin"), "old contents");
    addJob(wpFtp, QStringLiteral("big.bin"), target.path(), &dying);
    run.OnCopyProgress = [&](TTransferRun*, int, std::int64_t, std::int64_t) { dying.stop(); };
    run.Execute();
    EXPECT_FALSE(run.Items()[0]->Success());
    EXPECT_EQ(events.only(QStringLiteral("Error ")), QStringList{QStringLiteral("Error 7")});
    EXPECT_EQ(readFile(existing), QByteArray("old contents"));
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("big.bin")});
}

TEST_F(FtpTransfer, FullDiskIsErrorFiveAndLeavesNothing)
{
    writeFile(remote(QStringLiteral("full/large.bin")), patternedBytes(1024 * 1024, PrimePattern));
    addJob(wpFtp, QStringLiteral("/full/large.bin"), target.path());
    {
        FileSizeLimit limit(100000);
        run.Execute();
    }
    const QString path = target.path() + QStringLiteral("/large.bin");
    // The size is known from the listing: the job fails before it writes.
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              QStringList{QStringLiteral("ErrorInfo 5 Error writing to destination file ") + path
                          + QStringLiteral(": not enough room, 1.0 MiB needed, 97.7 KiB free")});
    EXPECT_FALSE(run.Items()[0]->Success());
    EXPECT_TRUE(QDir(target.path()).isEmpty());
}

TEST_F(FtpTransfer, CancelDuringDownloadEndsTheRunAndLeavesNoPartialFile)
{
    writeFile(remote(QStringLiteral("cancel/big.bin")), patternedBytes(8 * 1024 * 1024, PrimePattern));
    addJob(wpFtp, QStringLiteral("/cancel/big.bin"), target.path());
    addJob(wpFtp, QStringLiteral("/cancel/big.bin"), target.path())->TargetFilename = QStringLiteral("second.bin");
    run.OnCopyProgress = [&](TTransferRun* sender, int, std::int64_t, std::int64_t) { sender->CancelCopy(); };
    run.Execute();
    EXPECT_TRUE(run.Items()[0]->Cancelled());
    EXPECT_FALSE(run.Items()[0]->Success());
    EXPECT_TRUE(events.only(QStringLiteral("FileStart 1")).isEmpty());
    EXPECT_TRUE(QDir(target.path()).isEmpty());
}

} // namespace

namespace {

TEST_F(FtpTransfer, ConnectionDroppedMidUploadIsAFailureAndTheRunGoesOn)
{
    FtpServer dying;
    ASSERT_TRUE(dying.isRunning());
    const QString local = target.write(QStringLiteral("big.bin"), patternedBytes(32 * 1024 * 1024, PrimePattern));
    addJob(wpFtpUpload, local, QStringLiteral("up"), &dying);
    addJob(wpFtpTest, {});
    run.OnCopyProgress = [&](TTransferRun*, int, std::int64_t, std::int64_t) { dying.stop(); };
    run.Execute();
    EXPECT_FALSE(run.Items()[0]->Success());
    EXPECT_EQ(events.only(QStringLiteral("Error ")), QStringList{QStringLiteral("Error 7")});
    EXPECT_TRUE(run.Items()[1]->Success()) << "a failed job does not end the run";
}

TEST_F(FtpTransfer, ExistingTargetIsKeptOrWrittenBesideAsTheOwnerSays)
{
    writeFile(remote(QStringLiteral("over/setup.exe")), "new");
    const QString existing = target.write(QStringLiteral("setup.exe"), "old");
    addJob(wpFtp, QStringLiteral("/over/setup.exe"), target.path());
    int asked = 0;
    run.OnCopyOverWrite = [&](TTransferRun*, const QString& file, bool& allow) {
        EXPECT_EQ(file, existing);
        allow = ++asked > 1;
    };
    run.CreateUniqueFilenames = true;
    run.Execute();
    EXPECT_FALSE(run.Items()[0]->Success());
    EXPECT_EQ(readFile(existing), QByteArray("old"));
    run.Execute();
    EXPECT_TRUE(run.Items()[0]->Success());
    EXPECT_EQ(readFile(existing), QByteArray("old"));
    EXPECT_EQ(readFile(target.path() + QStringLiteral("/setup(1).exe")), QByteArray("new"));
}

TEST_F(FtpTransfer, CancelWhileTheServerIsSilentEndsTheRunWithoutAnError)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    TWebTransferItem* item = addJob(wpFtp, QStringLiteral("a.txt"), target.path());
    item->FTPPort = silent.serverPort();
    // Fires only if the event loop is kept turning while the run waits for the greeting.
    QTimer cancel;
    cancel.setSingleShot(true);
    QObject::connect(&cancel, &QTimer::timeout, [&] { run.CancelCopy(); });
    cancel.start(300);
    run.Execute();
    EXPECT_TRUE(item->Cancelled());
    EXPECT_FALSE(item->Success());
    EXPECT_TRUE(events.only(QStringLiteral("Error")).isEmpty()) << events.log.join(u'\n').toStdString();
}

} // namespace
