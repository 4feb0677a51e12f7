#include "tests/support/HostileFixture.h"

#include "platform/network/InternetErrors.h"
#include "tests/support/CaseName.h"
#include "tests/support/ScriptedHttpServer.h"

#include <ostream>

namespace {

// The limits on a slow answer: a deadline for its head, a floor under its body's speed.
struct PaceCase {
    const char* name;
    const char* path;
    std::int32_t responseHeadTimeout;
    std::int32_t lowSpeedLimit;
    std::int32_t lowSpeedTime;
    // The failure events the job ends with ("%URL%" the job's address, "%FILE%" its target);
    // none when the file arrives.
    std::vector<const char*> failures;
    // What LastInternetResult says afterwards; empty when it is ok.
    const char* reason;
    friend void PrintTo(const PaceCase& c, std::ostream* os) { *os << c.name; }
};

const PaceCase PaceCases[] = {
    // One header line every half second is never silent, yet never a complete head either.
    {"HeadTrickledPastTheDeadline", "/slowhead/lines=40/setup.exe", 1500, 0, 0, {"URLNotFound %URL%"},
     "no complete answer within 1.5 s"},
    {"BodyBelowTheSpeedFloor", "/trickle/size=20/setup.exe", 0, 1024, 1,
     {"Error 7", "ErrorInfo 7 Transfer interrupted %FILE%: slower than 1 KiB/s for 1 s"}, "slower than 1 KiB/s for 1 s"},
    {"BodyBelowAFloorInBytes", "/trickle/size=20/setup.exe", 0, 500, 1,
     {"Error 7", "ErrorInfo 7 Transfer interrupted %FILE%: slower than 500 bytes/s for 1 s"},
     "slower than 500 bytes/s for 1 s"},
    {"FastServerKeepsToBothLimits", "/file/size=300000/setup.exe", 1500, 1024, 1, {}, ""},
    {"HeadWithinTheDeadline", "/slowhead/lines=2&every=0.2&size=3000/setup.exe", 5000, 0, 0, {}, ""},
};

class SlowAnswer : public HostileFixture, public testing::WithParamInterface<PaceCase> {
protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    ScriptedHttpServer server;
};

// A slow answer fails the attempt as a broken connection does: the job's next attempt is
// made, and the failure that ends the job says which limit the server broke.
TEST_P(SlowAnswer, FailsTheAttemptAndTheNextOneIsMade)
{
    const PaceCase& row = GetParam();
    writeInside(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = run.Items().Add();
    job->URL = server.url(QString::fromLatin1(row.path));
    job->TargetDir = inside();
    job->Retries = 1;
    run.ResponseHeadTimeout = row.responseHeadTimeout;
    run.LowSpeedLimit = row.lowSpeedLimit;
    run.LowSpeedTime = row.lowSpeedTime;
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";

    QStringList expected;
    for (const char* failure : row.failures)
        expected << QString::fromLatin1(failure)
                        .replace(QStringLiteral("%URL%"), job->URL)
                        .replace(QStringLiteral("%FILE%"), insideFile(QStringLiteral("setup.exe")));
    EXPECT_EQ(failures(), expected);
    const bool fails = !row.failures.empty();
    EXPECT_EQ(job->Success(), !fails);
    EXPECT_EQ(server.requests().size(), fails ? 2 : 1) << "a slow answer is tried again like a broken one";
    const platform::InternetResult& reason = run.LastInternetResult();
    EXPECT_EQ(reason.ok, !fails);
    EXPECT_EQ(reason.tooSlow, fails);
    EXPECT_EQ(reason.message, QString::fromLatin1(row.reason));
    if (fails) {
        EXPECT_TRUE(platform::isTransientFailure(reason.code));
        EXPECT_EQ(readInside(QStringLiteral("setup.exe")), QByteArray("old"));
    }
    EXPECT_EQ(entriesOf(inside()), QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

INSTANTIATE_TEST_SUITE_P(Limits, SlowAnswer, testing::ValuesIn(PaceCases), caseName);

} // namespace
