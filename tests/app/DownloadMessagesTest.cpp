#include "app/DownloadMessages.h"
#include "platform/network/InternetErrors.h"
#include "tests/support/CaseName.h"
#include "transfer/WebTransferErrors.h"

#include <QStringList>

#include <curl/curl.h>

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct ProblemCase {
    const char* name;
    TTransferFailure failure;
    TDownloadProblem expected;
    bool anotherServerMayHelp;
    friend void PrintTo(const ProblemCase& c, std::ostream* os) { *os << c.name; }
};

TTransferFailure EngineError(int code)
{
    TTransferFailure failure;
    failure.ErrorCode = code;
    return failure;
}

TTransferFailure NotOpened(int curlCode)
{
    TTransferFailure failure;
    failure.URLNotFound = true;
    failure.InternetCode = curlCode < 0 ? 0 : platform::internetErrorNumber(curlCode);
    return failure;
}

class DownloadProblems : public testing::TestWithParam<ProblemCase> {};

TEST_P(DownloadProblems, AreToldFromWhatTheEngineReported)
{
    const TDownloadProblem problem = ProblemOf(GetParam().failure);
    EXPECT_EQ(problem, GetParam().expected);
    EXPECT_EQ(AnotherServerMayHelp(problem), GetParam().anotherServerMayHelp);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, DownloadProblems,
    testing::Values(
        ProblemCase{"NotFound", EngineError(404), dpNotFound, true},
        ProblemCase{"Gone", EngineError(410), dpNotFound, true},
        ProblemCase{"LoginRefused", EngineError(401), dpLoginRefused, true},
        ProblemCase{"Forbidden", EngineError(403), dpLoginRefused, true},
        ProblemCase{"ProxyLoginRefused", EngineError(407), dpLoginRefused, true},
        ProblemCase{"ServerBusy", EngineError(503), dpServerFailed, true},
        ProblemCase{"RedirectNotFollowed", EngineError(300), dpServerFailed, true},
        ProblemCase{"NoServerListening", NotOpened(CURLE_COULDNT_CONNECT), dpNoConnection, true},
        ProblemCase{"UnknownHost", NotOpened(CURLE_COULDNT_RESOLVE_HOST), dpNoConnection, true},
        ProblemCase{"NoAnswerInTime", NotOpened(CURLE_OPERATION_TIMEDOUT), dpNoConnection, true},
        ProblemCase{"NotOpenedWithoutReason", NotOpened(-1), dpNoConnection, true},
        ProblemCase{"UntrustedCertificate", NotOpened(CURLE_PEER_FAILED_VERIFICATION), dpCertificate, true},
        ProblemCase{"AnswerThatIsNoHttp", NotOpened(CURLE_WEIRD_SERVER_REPLY), dpServerFailed, true},
        ProblemCase{"BrokeOff", EngineError(weInterrupted), dpConnectionBroke, true},
        ProblemCase{"ReadFailed", EngineError(weSourceRead), dpConnectionBroke, true},
        ProblemCase{"BrokeOffInTheLibrary", EngineError(platform::internetErrorNumber(CURLE_RECV_ERROR)),
                    dpConnectionBroke, true},
        ProblemCase{"CannotConnect", EngineError(weConnect), dpNoConnection, true},
        ProblemCase{"DiskFull", EngineError(weTargetWrite), dpDiskFull, false},
        ProblemCase{"CannotCreate", EngineError(weTargetCreate), dpCannotSave, false},
        ProblemCase{"ChecksumMismatch", EngineError(weChecksum), dpDamaged, true},
        ProblemCase{"NotAProgram", EngineError(weUnexpectedContent), dpNotAProgram, true},
        ProblemCase{"LongerOrShorterThanListed", EngineError(weSize), dpDamaged, true},
        ProblemCase{"NothingReported", TTransferFailure{}, dpUnknown, true}),
    caseName);

TEST(AnotherServerMayHelp, WithAnOutOfDateMirrorButNotWithoutTheRecordOfReleases)
{
    EXPECT_TRUE(AnotherServerMayHelp(dpOutOfDate));
    EXPECT_TRUE(AnotherServerMayHelp(dpNotVerified));
    EXPECT_FALSE(AnotherServerMayHelp(dpNoReleaseRecord));
}

TEST(DownloadFailureText, NamesFileAndVersionSaysWhatHappenedWhatToTryAndTheDetails)
{
    const QString text = DownloadFailureText(dpNotFound, QStringLiteral("KXsetup64.exe"), QStringLiteral("12.1"),
                                             QStringLiteral("Returned http error code 404"));
    EXPECT_EQ(text, QStringLiteral("KXsetup64.exe for version 12.1 could not be downloaded.\r"
                                   "This version of the file is not available on this download server.\r"
                                   "Choose another version, or try again later.\r"
                                   "Details: Returned http error code 404"));
    EXPECT_FALSE(DownloadFailureText(dpDiskFull, QStringLiteral("setup.exe"), QStringLiteral("9.51"), QString())
                     .contains(QStringLiteral("Details")));
}

TEST(DownloadFailureText, EveryProblemHasItsOwnWords)
{
    QStringList seen;
    for (int problem = dpNotFound; problem <= dpUnknown; ++problem) {
        const QString text = DownloadProblemText(TDownloadProblem(problem));
        EXPECT_FALSE(text.isEmpty()) << problem;
        EXPECT_FALSE(seen.contains(text)) << problem;
        seen << text;
        EXPECT_EQ(DownloadFailureText(TDownloadProblem(problem), QStringLiteral("a.exe"), QStringLiteral("1"), QString())
                      .split(u'\r')
                      .size(),
                  3)
            << problem;
    }
    EXPECT_TRUE(DownloadProblemText(dpNotVerified).contains(QStringLiteral("could not be verified")));
    EXPECT_TRUE(DownloadProblemText(dpDamaged).contains(QStringLiteral("damaged or altered on its way")));
    EXPECT_TRUE(DownloadProblemText(dpNotAProgram).contains(QStringLiteral("login page")));
    EXPECT_TRUE(DownloadProblemText(dpDiskFull).contains(QStringLiteral("disk is full")));
}

} // namespace
