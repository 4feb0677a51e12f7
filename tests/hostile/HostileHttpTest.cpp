#include "HostileFixture.h"

#include "tests/support/ScriptedHttpServer.h"

#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include <ostream>

namespace {

class HostileHttp : public HostileFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isRunning());
        engine.Timeout = 2;
    }

    // A job that downloads to setup.exe in the target directory, where an older copy lies.
    TWebTransferItem* addJobOverOldFile(const QString& url)
    {
        writeInside(QStringLiteral("setup.exe"), "old");
        TWebTransferItem* job = engine.Items().Add();
        job->URL = url;
        job->TargetDir = inside();
        job->TargetFilename = QStringLiteral("setup.exe");
        return job;
    }

    ScriptedHttpServer server;
};

struct HostileCase {
    const char* name;
    const char* path;
    // The error events expected, "%URL%" standing for the job's address and "%FILE%" for
    // the target file; none when the download succeeds.
    std::vector<const char*> errors;
    // The bytes setup.exe holds afterwards: -1 for the old content.
    int newSize;
    friend void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }
};

class HostileHttpAnswer : public HostileHttp, public testing::WithParamInterface<HostileCase> {};

TEST_P(HostileHttpAnswer, EndsClearlyWithoutDamageOrStrayFiles)
{
    const HostileCase& test = GetParam();
    const QString url = server.url(QString::fromLatin1(test.path));
    TWebTransferItem* job = addJobOverOldFile(url);
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";

    QStringList expected;
    for (const char* error : test.errors)
        expected << QString::fromLatin1(error)
                        .replace(QStringLiteral("%URL%"), url)
                        .replace(QStringLiteral("%FILE%"), insideFile(QStringLiteral("setup.exe")));
    EXPECT_EQ(failures(), expected);
    EXPECT_EQ(job->Success(), test.errors.empty());
    EXPECT_EQ(readInside(QStringLiteral("setup.exe")), test.newSize < 0 ? QByteArray("old") : bodyOf(test.newSize));
    EXPECT_EQ(entriesOf(inside()), QStringList{QStringLiteral("setup.exe")}) << "no temporary file is left";
    EXPECT_EQ(entriesOf(outer.path()), QStringList{QStringLiteral("inside")});
    ASSERT_FALSE(events.log.isEmpty());
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HostileHttpAnswer,
    testing::Values(
        HostileCase{"NotAStatusLine", "/garbage/setup.exe?line=SSH-2.0-OpenSSH_9.2", {"URLNotFound %URL%"}, -1},
        HostileCase{"StatusCodeNotANumber", "/garbage/setup.exe?line=HTTP/1.1%20abc%20OK", {"URLNotFound %URL%"}, -1},
        HostileCase{"StatusCodeTooLong", "/garbage/setup.exe?line=HTTP/1.1%202000000%20OK", {"URLNotFound %URL%"}, -1},
        HostileCase{"MegabyteOfHeaders", "/bigheaders/setup.exe?size=100", {"URLNotFound %URL%"}, -1},
        HostileCase{"ManyHeadersWithinReason", "/bigheaders/setup.exe?size=100&bytes=65536", {}, 100},
        HostileCase{"RedirectForever", "/loop/setup.exe", {"URLNotFound %URL%"}, -1},
        HostileCase{"RedirectToALocalFile", "/redirect/setup.exe?to=file:///etc/passwd", {"URLNotFound %URL%"}, -1},
        HostileCase{"LengthLargerThanBody", "/claim/setup.exe?size=3000&length=6000",
                    {"Error 7", "ErrorInfo 7 Transfer interrupted %FILE%"}, -1},
        HostileCase{"LengthOfExabytes", "/claim/setup.exe?size=3000&length=9223372036854775807",
                    {"Error 7", "ErrorInfo 7 Transfer interrupted %FILE%"}, -1},
        HostileCase{"LengthBeyondAnyNumber", "/claim/setup.exe?size=3000&length=99999999999999999999999",
                    {"URLNotFound %URL%"}, -1},
        HostileCase{"NegativeLength", "/claim/setup.exe?size=3000&length=-5", {"URLNotFound %URL%"}, -1},
        HostileCase{"LengthSmallerThanBody", "/claim/setup.exe?size=6000&length=3000", {}, 3000},
        HostileCase{"ChunkSizeNotANumber", "/badchunk/setup.exe?size=3000",
                    {"Error 7", "ErrorInfo 7 Transfer interrupted %FILE%"}, -1},
        HostileCase{"ResetBeforeTheBody", "/reset/setup.exe?size=20000&at=0",
                    {"Error 7", "ErrorInfo 7 Transfer interrupted %FILE%"}, -1},
        HostileCase{"ResetMidBody", "/reset/setup.exe?size=20000&at=5000",
                    {"Error 7", "ErrorInfo 7 Transfer interrupted %FILE%"}, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileHttp, BasicCredentialsDoNotFollowARedirectToAnotherHost)
{
    const QString offsite = server.urlAsLocalhost(QStringLiteral("/auth/setup.exe?user=alice&pass=secret&size=100"));
    const QString url = server.url(QStringLiteral("/redirect/setup.exe?to="))
        + QString::fromLatin1(QUrl::toPercentEncoding(offsite));
    TWebTransferItem* job = addJobOverOldFile(url);
    job->HTTPUserID = QStringLiteral("alice");
    job->HTTPPassword = QStringLiteral("secret");
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_TRUE(requests[0].headers.contains(QStringLiteral("authorization")));
    EXPECT_TRUE(requests[1].target.startsWith(QStringLiteral("/auth/")));
    EXPECT_FALSE(requests[1].headers.contains(QStringLiteral("authorization")))
        << requests[1].headers.value(QStringLiteral("authorization")).toStdString();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              QStringList{QStringLiteral("ErrorInfo 401 Returned http error code 401")});
    EXPECT_EQ(readInside(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

struct MemoryCase {
    const char* name;
    const char* path;
    // The size setup.exe has afterwards; -1 when the download fails and the old file stays.
    qint64 newSize;
    friend void PrintTo(const MemoryCase& c, std::ostream* os) { *os << c.name; }
};

class HostileHttpMemory : public HostileHttp, public testing::WithParamInterface<MemoryCase> {};

TEST_P(HostileHttpMemory, MemoryStaysBoundedWhateverTheServerSends)
{
    // A warm-up run first, so what the first request loads once is not counted.
    TWebTransferItem* warmUp = addJobOverOldFile(server.url(QStringLiteral("/file/setup.exe?size=100")));
    engine.Execute();
    ASSERT_TRUE(warmUp->Success());
    engine.Items().Clear();

    const qint64 before = residentKiB();
    ASSERT_GT(before, 0);
    TWebTransferItem* job = addJobOverOldFile(server.url(QString::fromLatin1(GetParam().path)));
    events.log.clear();
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";
    const qint64 after = residentKiB();
    // Every case sends or claims 64 MiB or more: a client that kept it would grow by as much.
    EXPECT_LT(after - before, 32 * 1024) << before << " KiB before, " << after << " KiB after";
    EXPECT_EQ(job->Success(), GetParam().newSize >= 0);
    if (GetParam().newSize < 0)
        EXPECT_EQ(readInside(QStringLiteral("setup.exe")), QByteArray("old"));
    else
        EXPECT_EQ(QFileInfo(insideFile(QStringLiteral("setup.exe"))).size(), GetParam().newSize);
    EXPECT_EQ(entriesOf(inside()), QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

INSTANTIATE_TEST_SUITE_P(
    Floods, HostileHttpMemory,
    testing::Values(MemoryCase{"EndlessHeaders", "/bigheaders/setup.exe?size=100&bytes=67108864", -1},
                    MemoryCase{"LengthOfExabytes", "/claim/setup.exe?size=3000&length=9223372036854775807", -1},
                    MemoryCase{"LongBodyWithoutLength", "/nolength/setup.exe?size=67108864", 67108864}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileHttp, SlowButLivingServerIsNotTakenForADeadOne)
{
    // The time-out is about silence, not about the length of the whole download.
    engine.Timeout = 3;
    TWebTransferItem* job = addJobOverOldFile(server.url(QStringLiteral("/trickle/setup.exe?size=4")));
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";
    EXPECT_TRUE(job->Success()) << events.log.join(u'|').toStdString();
    EXPECT_EQ(readInside(QStringLiteral("setup.exe")), bodyOf(4));
    EXPECT_EQ(entriesOf(inside()), QStringList{QStringLiteral("setup.exe")});
}

TEST_F(HostileHttp, TrickleKeepsTheWindowServedUntilCancel)
{
    engine.Timeout = 3;
    TWebTransferItem* job = addJobOverOldFile(server.url(QStringLiteral("/trickle/setup.exe?size=1000")));
    int ticks = 0;
    int ticksAtFirstByte = -1;
    bool cancelled = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        // Cancel once the window has kept ticking for a while after the first byte.
        if (!cancelled && ticksAtFirstByte >= 0 && ticks - ticksAtFirstByte >= 20) {
            cancelled = true;
            clickCancel();
        }
    });
    ticker.start(10);
    auto original = engine.OnCopyProgress;
    engine.OnCopyProgress = [&](TWebTransfer* sender, int fileidx, std::int64_t size, std::int64_t total) {
        original(sender, fileidx, size, total);
        if (ticksAtFirstByte < 0 && size > 0)
            ticksAtFirstByte = ticks;
    };
    engine.Execute();
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(job->Cancelled());
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("CopyCancel"),
                                       QStringLiteral("CopyDone")}));
    EXPECT_EQ(readInside(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(entriesOf(inside()), QStringList{QStringLiteral("setup.exe")});
}

} // namespace
