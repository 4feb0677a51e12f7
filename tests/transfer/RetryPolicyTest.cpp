#include "platform/network/InternetErrors.h"
#include "tests/support/CaseName.h"
#include "transfer/RetryPolicy.h"
#include "transfer/WebTransferErrors.h"

#include <curl/curl.h>

#include <gtest/gtest.h>

namespace {

const QDateTime Now(QDate(2026, 1, 1), QTime(12, 0, 0), Qt::UTC);

TAttemptFailure Status(int Code, const char* RetryAfter = "")
{
    TAttemptFailure failure;
    failure.ErrorCode = Code;
    failure.RetryAfter = QString::fromLatin1(RetryAfter);
    return failure;
}

TAttemptFailure NotOpened(int CurlCode)
{
    TAttemptFailure failure;
    failure.NotFound = true;
    failure.InternetCode = CurlCode == 0 ? 0 : platform::internetErrorNumber(CurlCode);
    return failure;
}

// Error weConnect: an FTP server that could not be reached or would not let us in.
TAttemptFailure Unconnected(int CurlCode)
{
    TAttemptFailure failure = Status(weConnect);
    failure.InternetCode = platform::internetErrorNumber(CurlCode);
    return failure;
}

struct DecisionCase {
    const char* Name;
    TAttemptFailure Failure;
    int Attempt;
    int Retries;
    bool Retry;
    int WaitSeconds;
};

const DecisionCase DecisionCases[] = {
    // Transient failures, with the waits doubling from one second.
    {"ServiceUnavailableWaitsOneSecond", Status(503), 1, 3, true, 1},
    {"SecondFailureWaitsTwoSeconds", Status(503), 2, 3, true, 2},
    {"ThirdFailureWaitsFourSeconds", Status(500), 3, 3, true, 4},
    {"BackOffStopsAtAMinute", Status(502), 12, 20, true, 60},
    {"RequestTimeout408", Status(408), 1, 1, true, 1},
    {"TooManyRequests429", Status(429), 1, 1, true, 1},
    {"LastServerError599", Status(599), 1, 1, true, 1},
    {"TransferBrokenOff", Status(weInterrupted), 1, 1, true, 1},
    {"ConnectionRefused", NotOpened(CURLE_COULDNT_CONNECT), 1, 1, true, 1},
    {"ConnectionReset", NotOpened(CURLE_RECV_ERROR), 1, 1, true, 1},
    {"ServerClosedWithoutAnswer", NotOpened(CURLE_GOT_NOTHING), 1, 1, true, 1},
    {"ServerWentSilent", NotOpened(CURLE_OPERATION_TIMEDOUT), 1, 1, true, 1},
    {"FtpServerOutOfReach", Unconnected(CURLE_COULDNT_CONNECT), 1, 1, true, 1},
    // Permanent failures.
    {"NotFound404", Status(404), 1, 3, false, 0},
    {"Forbidden403", Status(403), 1, 3, false, 0},
    {"Unauthorised401", Status(401), 1, 3, false, 0},
    {"NotModified304", Status(304), 1, 3, false, 0},
    {"StatusAbove5xx", Status(600), 1, 3, false, 0},
    {"ChecksumMismatch", Status(weChecksum), 1, 3, false, 0},
    {"UnexpectedContent", Status(weUnexpectedContent), 1, 3, false, 0},
    {"TargetCannotBeCreated", Status(weTargetCreate), 1, 3, false, 0},
    {"TargetCannotBeWritten", Status(weTargetWrite), 1, 3, false, 0},
    {"CertificateRefused", NotOpened(CURLE_PEER_FAILED_VERIFICATION), 1, 3, false, 0},
    {"HostNameUnknown", NotOpened(CURLE_COULDNT_RESOLVE_HOST), 1, 3, false, 0},
    {"WaitAbortedByTheUser", NotOpened(CURLE_ABORTED_BY_CALLBACK), 1, 3, false, 0},
    {"NoSession", NotOpened(0), 1, 3, false, 0},
    {"FtpLoginRefused", Unconnected(CURLE_LOGIN_DENIED), 1, 3, false, 0},
    {"FtpCommandRefused", Unconnected(CURLE_QUOTE_ERROR), 1, 3, false, 0},
    {"NothingReported", TAttemptFailure{}, 1, 3, false, 0},
    // Attempts used up.
    {"NoRetries", Status(503), 1, 0, false, 0},
    {"LastAttemptFailed", Status(503), 3, 2, false, 0},
    // The server's Retry-After in place of the back-off.
    {"RetryAfterSeconds", Status(503, "7"), 1, 3, true, 7},
    {"RetryAfterOverridesALongerBackOff", Status(429, "1"), 3, 3, true, 1},
    {"RetryAfterZero", Status(503, "0"), 1, 3, true, 0},
    {"RetryAfterAMinute", Status(503, " 60 "), 1, 3, true, 60},
    {"RetryAfterBeyondAMinuteIsNotWaitedFor", Status(503, "61"), 1, 3, false, 0},
    {"RetryAfterHugeIsNotWaitedFor", Status(503, "99999999999999999999"), 1, 3, false, 0},
    {"RetryAfterDate", Status(503, "Thu, 01 Jan 2026 12:00:05 GMT"), 1, 3, true, 5},
    {"RetryAfterDatePassed", Status(503, "Thu, 01 Jan 2026 11:00:00 GMT"), 1, 3, true, 0},
    {"RetryAfterDateTooFar", Status(503, "Thu, 01 Jan 2026 13:00:00 GMT"), 1, 3, false, 0},
    {"RetryAfterUnreadableFallsBackToTheBackOff", Status(503, "soon"), 2, 3, true, 2},
    {"RetryAfterNegativeFallsBackToTheBackOff", Status(503, "-5"), 1, 3, true, 1},
    {"RetryAfterFractionFallsBackToTheBackOff", Status(503, "1.5"), 1, 3, true, 1},
    {"RetryAfterOnAPermanentStatusChangesNothing", Status(404, "5"), 1, 3, false, 0},
};

class RetryDecision : public testing::TestWithParam<DecisionCase> {};

TEST_P(RetryDecision, FollowsTheKindOfFailureAndTheServersWish)
{
    const DecisionCase& row = GetParam();
    const TRetryDecision decision = DecideRetry(row.Failure, row.Attempt, row.Retries, Now);
    EXPECT_EQ(decision.Retry, row.Retry);
    if (row.Retry) {
        EXPECT_EQ(decision.WaitSeconds, row.WaitSeconds);
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, RetryDecision, testing::ValuesIn(DecisionCases), caseName);

TEST(RetryWaitLine, SaysHowLongWhichAttemptAndWhichFile)
{
    EXPECT_EQ(RetryWaitLine(2, 2, 4, QStringLiteral("setup.exe")),
              QStringLiteral("Waiting 2 s before attempt 2 of 4: setup.exe"));
    // A name with a placeholder of its own stays as it is.
    EXPECT_EQ(RetryWaitLine(1, 3, 3, QStringLiteral("%1%2.exe")), QStringLiteral("Waiting 1 s before attempt 3 of 3: %1%2.exe"));
}

} // namespace
