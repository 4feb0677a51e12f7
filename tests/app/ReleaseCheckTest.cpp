#include "app/ReleaseCheck.h"
#include "tests/support/CaseName.h"
#include "tests/support/MinisignKey.h"

#include <curl/curl.h>

#include "platform/InternetErrors.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

const QByteArray Sum = "4a5e1e4baab89f3a32518a88c31bc87f618f76673e2cc77ab2127b7afdeda33b";
const QByteArray List = Sum + "  KXsetup64.exe\n";

TFetchedFile Received(const QByteArray& content)
{
    TFetchedFile file;
    file.Received = true;
    file.Content = content;
    return file;
}

TFetchedFile HttpError(int status)
{
    TFetchedFile file;
    file.Failure.ErrorCode = status;
    file.Failure.Details = QStringLiteral("Returned http error code %1").arg(status);
    return file;
}

TFetchedFile Unreachable()
{
    TFetchedFile file;
    file.Failure.URLNotFound = true;
    file.Failure.InternetCode = platform::internetErrorNumber(CURLE_COULDNT_CONNECT);
    file.Failure.Details = QStringLiteral("Could not open http://127.0.0.1:9/SHA256SUMS");
    return file;
}

// What the server gave: the list, the signature and the key the assistant holds.
struct Served {
    TFetchedFile list;
    TFetchedFile signature;
    QByteArray key;
};

struct CheckCase {
    const char* name;
    bool withKey;
    // Builds what the server gave from the release key, a signature of List and a stranger's key.
    std::function<Served(const MinisignKey& release, const QByteArray& signature, const MinisignKey& stranger)> served;
    bool allowed;
    TDownloadVerification verification;
    TDownloadProblem problem;  // when not allowed
    friend void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }
};

class ReleaseChecks : public WithMinisignKeys<testing::TestWithParam<CheckCase>> {};

TEST_P(ReleaseChecks, AllowOnlyWhatTheKeyVouchesFor)
{
    ASSERT_TRUE(s_release->isValid() && s_stranger->isValid()) << "minisign is missing: scripts/bootstrap installs it";
    const CheckCase& test = GetParam();
    const QByteArray signature = s_release->sign(List);
    ASSERT_FALSE(signature.isEmpty());
    const Served served = test.served(*s_release, signature, *s_stranger);

    const TReleaseCheck check =
        CheckRelease(test.withKey ? served.key : QByteArray(), QStringLiteral("KXsetup64.exe"), served.list,
                     served.signature);
    EXPECT_EQ(check.Allowed, test.allowed);
    if (check.Allowed) {
        EXPECT_EQ(check.Verification, test.verification);
        EXPECT_EQ(check.ExpectedSHA256, test.verification == dvNone ? QString() : QString::fromLatin1(Sum));
    } else {
        EXPECT_EQ(check.Problem, test.problem);
        EXPECT_FALSE(check.Details.isEmpty());
        EXPECT_TRUE(check.ExpectedSHA256.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Servers, ReleaseChecks,
    testing::Values(
        CheckCase{"SignedListNamingTheFile", true,
                  [](const MinisignKey& k, const QByteArray& s, const MinisignKey&) {
                      return Served{Received(List), Received(s), k.publicKey()};
                  },
                  true, dvSignedList, dpUnknown},
        CheckCase{"TamperedList", true,
                  [](const MinisignKey& k, const QByteArray& s, const MinisignKey&) {
                      QByteArray tampered = List;
                      tampered[3] = 'f';
                      return Served{Received(tampered), Received(s), k.publicKey()};
                  },
                  false, dvNone, dpNotVerified},
        CheckCase{"SignedByAStranger", true,
                  [](const MinisignKey& k, const QByteArray&, const MinisignKey& stranger) {
                      return Served{Received(List), Received(stranger.sign(List)), k.publicKey()};
                  },
                  false, dvNone, dpNotVerified},
        CheckCase{"SignedListWithoutTheFile", true,
                  [](const MinisignKey& k, const QByteArray&, const MinisignKey&) {
                      const QByteArray other = Sum + "  KXsetup32.exe\n";
                      return Served{Received(other), Received(k.sign(other)), k.publicKey()};
                  },
                  false, dvNone, dpNotVerified},
        CheckCase{"NoList", true,
                  [](const MinisignKey& k, const QByteArray&, const MinisignKey&) {
                      return Served{HttpError(404), HttpError(404), k.publicKey()};
                  },
                  false, dvNone, dpNotVerified},
        CheckCase{"ListWithoutSignature", true,
                  [](const MinisignKey& k, const QByteArray&, const MinisignKey&) {
                      return Served{Received(List), HttpError(404), k.publicKey()};
                  },
                  false, dvNone, dpNotVerified},
        CheckCase{"LoginPageForEverything", true,
                  [](const MinisignKey& k, const QByteArray&, const MinisignKey&) {
                      const QByteArray page = "<html><body>Accept our terms</body></html>";
                      return Served{Received(page), Received(page), k.publicKey()};
                  },
                  false, dvNone, dpNotVerified},
        CheckCase{"KeyThatIsNoKey", true,
                  [](const MinisignKey&, const QByteArray& s, const MinisignKey&) {
                      return Served{Received(List), Received(s), QByteArray("RWnotakey")};
                  },
                  false, dvNone, dpNotVerified},
        CheckCase{"ServerUnreachable", true,
                  [](const MinisignKey& k, const QByteArray&, const MinisignKey&) {
                      return Served{Unreachable(), Unreachable(), k.publicKey()};
                  },
                  false, dvNone, dpNoConnection},
        CheckCase{"ServerGoneBeforeTheSignature", true,
                  [](const MinisignKey& k, const QByteArray&, const MinisignKey&) {
                      return Served{Received(List), Unreachable(), k.publicKey()};
                  },
                  false, dvNone, dpNoConnection},
        CheckCase{"NoKeyUnsignedList", false,
                  [](const MinisignKey&, const QByteArray&, const MinisignKey&) {
                      return Served{Received(List), {}, {}};
                  },
                  true, dvUnsignedList, dpUnknown},
        CheckCase{"NoKeyNoList", false,
                  [](const MinisignKey&, const QByteArray&, const MinisignKey&) {
                      return Served{HttpError(404), {}, {}};
                  },
                  true, dvNone, dpUnknown},
        CheckCase{"NoKeyListWithoutTheFile", false,
                  [](const MinisignKey&, const QByteArray&, const MinisignKey&) {
                      return Served{Received(Sum + "  other.exe\n"), {}, {}};
                  },
                  true, dvNone, dpUnknown},
        CheckCase{"NoKeyServerUnreachable", false,
                  [](const MinisignKey&, const QByteArray&, const MinisignKey&) {
                      return Served{Unreachable(), {}, {}};
                  },
                  false, dvNone, dpNoConnection}),
    caseName);

TEST(VerificationText, TellsTheThreeWaysApart)
{
    EXPECT_EQ(VerificationText(dvSignedList), QStringLiteral("verified by a signed checksum list"));
    EXPECT_EQ(VerificationText(dvUnsignedList), QStringLiteral("checked against an unsigned checksum list"));
    EXPECT_EQ(VerificationText(dvNone), QStringLiteral("not verified: no checksum list names it"));
}

} // namespace
