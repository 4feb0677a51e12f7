#include "transfer/TransferRun.h"

#include "tests/support/CaseName.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/FtpServer.h"
#include "tests/support/PatternedBytes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitFor.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <memory>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList Entries(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

struct KillCase {
    const char* name;
    TWebTransferProtocol protocol;
    friend void PrintTo(const KillCase& c, std::ostream* os) { *os << c.name; }
};

class KilledTransfer : public testing::TestWithParam<KillCase> {
protected:
    // Starts the job in a child process; true once the child is in the middle of it.
    bool StartChild(const QStringList& arguments)
    {
        m_child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_child.start(QStringLiteral(KX_TRANSFER_CHILD), arguments);
        QByteArray output;
        const auto inTransfer = [&] {
            output += m_child.readAllStandardOutput();
            return output.contains("transferring\n");
        };
        if (waitFor([&] { return inTransfer() || m_child.state() == QProcess::NotRunning; }, 60000) && inTransfer())
            return true;
        ADD_FAILURE() << "the child never got into the transfer: " << output.toStdString();
        return false;
    }

    TempDir m_dir;
    QProcess m_child;
    std::unique_ptr<ScriptedHttpServer> m_http;
    std::unique_ptr<FtpServer> m_ftp;
};

TEST_P(KilledTransfer, LeavesTheOldFileAndNothingElse)
{
    const QString out = m_dir.filePath(QStringLiteral("out"));
    m_dir.write(QStringLiteral("out/setup.exe"), "old");
    m_dir.write(QStringLiteral("out/readme.txt"), "other");
    constexpr int Size = 4 * 1024 * 1024;
    QStringList arguments;
    switch (GetParam().protocol) {
    case wpHttp:
        m_http = std::make_unique<ScriptedHttpServer>();
        ASSERT_TRUE(m_http->isRunning());
        arguments = {QStringLiteral("http"), m_http->url(QStringLiteral("/file/x?size=%1").arg(Size)), out,
                     QStringLiteral("setup.exe")};
        break;
    case wpFtp: {
        m_ftp = std::make_unique<FtpServer>();
        ASSERT_TRUE(m_ftp->isRunning()) << m_ftp->error().toStdString();
        QFile remote(m_ftp->rootDir() + QStringLiteral("/setup.exe"));
        ASSERT_TRUE(remote.open(QIODevice::WriteOnly));
        remote.write(patternedBytes(Size, PrimePattern));
        remote.close();
        arguments = {QStringLiteral("ftp"), QStringLiteral("setup.exe"), out, QString::number(m_ftp->port()),
                     QString::fromLatin1(FtpServer::User), QString::fromLatin1(FtpServer::Password)};
        break;
    }
    default:
        arguments = {QStringLiteral("file"), m_dir.write(QStringLiteral("src/setup.exe"), patternedBytes(Size, PrimePattern)), out};
        break;
    }
    ASSERT_TRUE(StartChild(arguments));
    m_child.kill(); // SIGKILL: nothing in the child gets to tidy up
    ASSERT_TRUE(m_child.waitForFinished(30000));

    EXPECT_EQ(Entries(out), (QStringList{QStringLiteral("readme.txt"), QStringLiteral("setup.exe")}));
    EXPECT_EQ(m_dir.read(QStringLiteral("out/setup.exe")), QByteArray("old"));
}

INSTANTIATE_TEST_SUITE_P(Jobs, KilledTransfer,
                         testing::Values(KillCase{"HttpDownload", wpHttp}, KillCase{"FtpDownload", wpFtp},
                                         KillCase{"FileCopy", wpFile}),
                         caseName);

// Sets a file's (or a link's own) last-write time.
void SetModified(const QString& path, const QDateTime& time)
{
    const timespec times[2] = {{time.toSecsSinceEpoch(), 0}, {time.toSecsSinceEpoch(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0)
        << path.toStdString();
}

TEST(StalePendingFiles, OldOnesGoWithTheNextDownloadWhileFreshAndLookAlikeOnesStay)
{
    TempDir dir;
    ScriptedHttpServer http;
    ASSERT_TRUE(http.isRunning());
    const QDateTime twoDaysAgo = QDateTime::currentDateTimeUtc().addDays(-2);
    const QStringList stale{QStringLiteral(".setup.exe.a1b2c3.kxpart"), QStringLiteral(".other.zip.zz09zz.kxpart")};
    const QStringList kept{
        QStringLiteral(".setup.exe.d4e5f6.kxpart"),     // fresh: a run may be writing it
        QStringLiteral("setup.exe.a1b2c3.kxpart"),      // not hidden
        QStringLiteral(".setup.exe.A1B2C3.kxpart"),     // not our letters
        QStringLiteral(".setup.exe.a1b2c.kxpart"),      // one letter short
        QStringLiteral(".setup.exe.a1b2c3.kxpart.bak"), // something after
        QStringLiteral(".bashrc.backup"),
    };
    for (const QString& name : stale + kept)
        dir.write(name, "leftover");
    for (const QString& name : stale + kept.mid(1))
        SetModified(dir.filePath(name), twoDaysAgo);
    // A link of the pending form leads elsewhere: neither it nor what it leads to goes.
    const QString victim = dir.write(QStringLiteral("victim.txt"), "keep me");
    SetModified(victim, twoDaysAgo);
    const QString link = dir.filePath(QStringLiteral(".link.a1b2c3.kxpart"));
    ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(), QFile::encodeName(link).constData()), 0);
    SetModified(link, twoDaysAgo);
    const QString folder = dir.filePath(QStringLiteral(".folder.a1b2c3.kxpart"));
    ASSERT_TRUE(QDir().mkpath(folder));
    SetModified(folder, twoDaysAgo);

    TTransferRun run;
    EngineEvents events(run);
    TWebTransferItem& job = *run.Items().Add();
    job.URL = http.url(QStringLiteral("/file/x?size=1000"));
    job.TargetDir = dir.path();
    job.TargetFilename = QStringLiteral("setup.exe");
    run.Execute();

    EXPECT_TRUE(job.Success()) << events.log.join(u'\n').toStdString();
    QStringList expected = kept;
    expected << QStringLiteral("setup.exe") << QStringLiteral("victim.txt") << QStringLiteral(".link.a1b2c3.kxpart")
             << QStringLiteral(".folder.a1b2c3.kxpart");
    expected.sort();
    EXPECT_EQ(Entries(dir.path()), expected);
    EXPECT_EQ(dir.read(QStringLiteral("victim.txt")), QByteArray("keep me"));
}

} // namespace
