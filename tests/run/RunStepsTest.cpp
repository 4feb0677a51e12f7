#include "TestableRun.h"

#include "tests/support/CaseName.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/FtpServer.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

TEST(RunSession, IsOpenedOnlyForInternetJobsAndLivesForOneRun)
{
    TestableRun run;
    bool sessionDuringFileJobs = true;
    bool sessionDuringHttpJob = false;
    run.Items().Add()->Protocol = wpFile;
    run.OnFileStart = [&](TTransferRun*, int) { sessionDuringFileJobs = run.hasSession(); };
    run.Execute();
    EXPECT_FALSE(sessionDuringFileJobs);

    // An address nobody answers at: the job fails, the session existed all the same.
    run.Items().Add()->URL = QStringLiteral("http://127.0.0.1:9/a.bin");
    run.OnFileStart = [&](TTransferRun*, int idx) {
        if (idx == 1)
            sessionDuringHttpJob = run.hasSession();
    };
    run.Execute();
    EXPECT_TRUE(sessionDuringHttpJob);
    EXPECT_FALSE(run.hasSession()) << "the session lives for one run";
}

struct KeepCase {
    const char* name;
    std::vector<std::tuple<TWebTransferProtocol, const char*, bool>> jobs; // protocol, password, active
    int index;
    bool keep;
    // User name and port per job, where they are not "user" and 21.
    std::vector<std::pair<const char*, int>> userAndPort = {};
};

class KeepConnection : public testing::TestWithParam<KeepCase> {};

TEST_P(KeepConnection, OnlyBetweenFtpTransfersToTheSameLogin)
{
    TestableRun engine;
    const auto& userAndPort = GetParam().userAndPort;
    for (const auto& [protocol, password, active] : GetParam().jobs) {
        const std::size_t index = static_cast<std::size_t>(engine.Items().Count());
        TWebTransferItem* item = engine.Items().Add();
        item->Protocol = protocol;
        item->FTPHost = QStringLiteral("ftp.example");
        item->FTPUserID = index < userAndPort.size() ? QString::fromUtf8(userAndPort[index].first)
                                                     : QStringLiteral("user");
        item->FTPPort = index < userAndPort.size() ? userAndPort[index].second : 21;
        item->FTPPassword = QString::fromUtf8(password);
        item->Active = active;
    }
    EXPECT_EQ(engine.KeepConnectionFor(GetParam().index), GetParam().keep);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, KeepConnection,
    testing::Values(KeepCase{"SameLogin", {{wpFtp, "pw", true}, {wpFtp, "pw", true}}, 0, true},
                    KeepCase{"DownloadThenUpload", {{wpFtp, "pw", true}, {wpFtpUpload, "pw", true}}, 0, true},
                    KeepCase{"NextInactive", {{wpFtp, "pw", true}, {wpFtp, "pw", false}}, 0, true},
                    KeepCase{"OtherPassword", {{wpFtp, "pw", true}, {wpFtp, "other", true}}, 0, false},
                    KeepCase{"OtherPort", {{wpFtp, "pw", true}, {wpFtp, "pw", true}}, 0, false,
                             {{"user", 21}, {"user", 2121}}},
                    // Joined without separators both logins read "abc".
                    KeepCase{"LoginsThatJoinAlike", {{wpFtp, "c", true}, {wpFtp, "bc", true}}, 0, false,
                             {{"ab", 21}, {"a", 21}}},
                    KeepCase{"LastJob", {{wpFtp, "pw", true}, {wpFtp, "pw", true}}, 1, false},
                    KeepCase{"SingleJob", {{wpFtp, "pw", true}}, 0, false},
                    KeepCase{"NextIsMultiFtp", {{wpFtp, "pw", true}, {wpMultiFtp, "pw", true}}, 0, false},
                    KeepCase{"HttpJobs", {{wpHttp, "pw", true}, {wpHttp, "pw", true}}, 0, false}),
    caseName);

// A cancel asked for as a job starts ends that job before anything moves, whatever its kind,
// and ends the run.
struct StartCancelCase {
    const char* name;
    TWebTransferProtocol protocol;
};

class CancelAtFileStart : public testing::TestWithParam<StartCancelCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(http.isRunning());
        ASSERT_TRUE(ftp.isRunning()) << ftp.error().toStdString();
        ASSERT_TRUE(QDir().mkpath(ftp.rootDir() + QStringLiteral("/in")));
        QFile served(ftp.rootDir() + QStringLiteral("/in/setup.bin"));
        ASSERT_TRUE(served.open(QIODevice::WriteOnly));
        served.write(QByteArray(70000, 's'));
        local.write(QStringLiteral("setup.bin"), QByteArray(70000, 'l'));
    }

    // A job of the case's kind that would move setup.bin, and a second job after it.
    TWebTransferItem& addJob()
    {
        TWebTransferItem& job = *run.Items().Add();
        job.Protocol = GetParam().protocol;
        job.FTPHost = QStringLiteral("127.0.0.1");
        job.FTPPort = ftp.port();
        job.FTPUserID = QString::fromLatin1(FtpServer::User);
        job.FTPPassword = QString::fromLatin1(FtpServer::Password);
        job.TargetDir = target.path();
        switch (job.Protocol) {
        case wpHttp:
            job.URL = http.url(QStringLiteral("/file/setup.bin?size=70000"));
            break;
        case wpHttpUpload:
            job.URL = http.url(QStringLiteral("/upload/setup.bin"));
            job.TargetDir = local.path();
            break;
        case wpFtp:
        case wpMultiFtp:
            job.URL = QStringLiteral("/in/setup.bin");
            break;
        case wpFtpUpload:
        case wpMultiFtpUpload:
            job.URL = local.filePath(QStringLiteral("setup.bin"));
            job.TargetDir = QStringLiteral("/in");
            break;
        case wpFile:
            job.URL = local.filePath(QStringLiteral("setup.bin"));
            break;
        default:
            break;
        }
        return job;
    }

    bool uploadArrived() const
    {
        for (const QString& event : ftp.events())
            if (event.startsWith(QStringLiteral("stor")))
                return true;
        for (const auto& request : http.requests())
            if (request.method != QStringLiteral("GET"))
                return true;
        return false;
    }

    ScriptedHttpServer http;
    FtpServer ftp;
    TempDir local;
    TempDir target;
    TestableRun run;
    EngineEvents events{run};
};

TEST_P(CancelAtFileStart, EndsTheJobBeforeAnythingMovesAndEndsTheRun)
{
    TWebTransferItem& first = addJob();
    TWebTransferItem& second = addJob();
    const auto recorded = run.OnFileStart;
    run.OnFileStart = [&](TTransferRun* sender, int idx) {
        recorded(sender, idx);
        sender->CancelCopy();
    };
    run.Execute();

    EXPECT_TRUE(first.Cancelled());
    EXPECT_FALSE(first.Success());
    EXPECT_FALSE(second.Success());
    EXPECT_EQ(events.only(QStringLiteral("File")), QStringList{QStringLiteral("FileStart 0")});
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
    EXPECT_EQ(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    EXPECT_FALSE(uploadArrived());
}

INSTANTIATE_TEST_SUITE_P(Kinds, CancelAtFileStart,
                         testing::Values(StartCancelCase{"HttpDownload", wpHttp},
                                         StartCancelCase{"HttpUpload", wpHttpUpload},
                                         StartCancelCase{"FtpDownload", wpFtp},
                                         StartCancelCase{"FtpUpload", wpFtpUpload},
                                         StartCancelCase{"MultiFtpDownload", wpMultiFtp},
                                         StartCancelCase{"MultiFtpUpload", wpMultiFtpUpload},
                                         StartCancelCase{"FileCopy", wpFile}),
                         caseName);

} // namespace
