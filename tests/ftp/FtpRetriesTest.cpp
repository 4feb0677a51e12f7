#include "tests/support/FtpFixture.h"

namespace {

// FTP downloads with Retries, and the waits the run announces to its user.
class FtpRetries : public FtpFixture {
protected:
    // The file lines that announced a wait, in order.
    QStringList waitLines() const
    {
        QStringList lines;
        for (const QString& line : ui.fileLines)
            if (line.startsWith(QStringLiteral("Waiting")))
                lines << line;
        return lines;
    }

    static int commandCount(const FtpServer& on, const QString& verb)
    {
        int count = 0;
        for (const QString& command : on.commands())
            count += command.startsWith(verb + u' ') ? 1 : 0;
        return count;
    }
};

TEST_F(FtpRetries, ServerOutOfReachIsTriedAgainThenReportedOnce)
{
    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("a.txt"), target.path());
    job->Retries = 1;
    {
        FtpServer stopped;
        job->FTPPort = stopped.port();
    }
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(waitLines(), QStringList{QStringLiteral("Waiting 1 s before attempt 2 of 2: a.txt")});
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              QStringList{QStringLiteral("ErrorInfo 6 Cannot connect to FTP server 127.0.0.1")});
}

TEST_F(FtpRetries, RefusedLoginIsNotRetried)
{
    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("a.txt"), target.path());
    job->FTPPassword = QStringLiteral("wrong");
    job->Retries = 2;
    const int logins = commandCount(*server, QStringLiteral("PASS"));
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_TRUE(waitLines().isEmpty());
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
    writeFile(resetting.rootDir() + QStringLiteral("/big.bin"), patternedBytes(256 * 1024, PrimePattern));
    const QString existing = target.write(QStringLiteral("big.bin"), "old contents");
    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("big.bin"), target.path(), &resetting);
    job->Retries = 1;
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(commandCount(resetting, QStringLiteral("RETR")), 2);
    EXPECT_EQ(waitLines(), QStringList{QStringLiteral("Waiting 1 s before attempt 2 of 2: big.bin")});
    EXPECT_EQ(events.only(QStringLiteral("Error ")), QStringList{QStringLiteral("Error 7")});
    EXPECT_EQ(readFile(existing), QByteArray("old contents"));
}

} // namespace
