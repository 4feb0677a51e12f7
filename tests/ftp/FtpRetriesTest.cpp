#include "FtpFixture.h"

#include <QLabel>
#include <QTimer>

namespace {

// FTP downloads with Retries, with the waits the dialog announces gathered from its file line
// while the run goes on.
class FtpRetries : public FtpFixture {
protected:
    void SetUp() override
    {
        FtpFixture::SetUp();
        QObject::connect(&watch, &QTimer::timeout, [this] {
            const QLabel* line = engine.ProgressFileLabel();
            if (line && line->text().startsWith(QStringLiteral("Waiting"))
                && (waitLines.isEmpty() || waitLines.last() != line->text()))
                waitLines << line->text();
        });
        watch.start(10);
    }

    static int commandCount(const FtpServer& on, const QString& verb)
    {
        int count = 0;
        for (const QString& command : on.commands())
            count += command.startsWith(verb + u' ') ? 1 : 0;
        return count;
    }

    QTimer watch;
    QStringList waitLines;
};

TEST_F(FtpRetries, ServerOutOfReachIsTriedAgainThenReportedOnce)
{
    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("a.txt"), target.path());
    job->Retries = 1;
    {
        FtpServer stopped;
        job->FTPPort = stopped.port();
    }
    engine.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(waitLines, QStringList{QStringLiteral("Waiting 1 s before attempt 2 of 2: a.txt")});
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              QStringList{QStringLiteral("ErrorInfo 6 Cannot connect to FTP server 127.0.0.1")});
}

TEST_F(FtpRetries, RefusedLoginIsNotRetried)
{
    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("a.txt"), target.path());
    job->FTPPassword = QStringLiteral("wrong");
    job->Retries = 2;
    const int logins = commandCount(*server, QStringLiteral("PASS"));
    engine.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_TRUE(waitLines.isEmpty());
    EXPECT_EQ(commandCount(*server, QStringLiteral("PASS")), logins + 1);
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              QStringList{QStringLiteral("ErrorInfo 6 Cannot connect to FTP server 127.0.0.1")});
}

TEST_F(FtpRetries, TransferBrokenOffIsTriedAgainAndTheOldFileStays)
{
    FtpServer::Options options;
    options.resetAt = 4096;
    FtpServer resetting(options);
    ASSERT_TRUE(resetting.isRunning()) << resetting.error().toStdString();
    writeFile(resetting.rootDir() + QStringLiteral("/big.bin"), bodyOf(256 * 1024));
    const QString existing = target.write(QStringLiteral("big.bin"), "old contents");
    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("big.bin"), target.path(), &resetting);
    job->Retries = 1;
    engine.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(commandCount(resetting, QStringLiteral("RETR")), 2);
    EXPECT_EQ(waitLines, QStringList{QStringLiteral("Waiting 1 s before attempt 2 of 2: big.bin")});
    EXPECT_EQ(events.only(QStringLiteral("Error ")), QStringList{QStringLiteral("Error 7")});
    EXPECT_EQ(readFile(existing), QByteArray("old contents"));
}

} // namespace
