#include "app/ReleaseCheck.h"
#include "tests/support/CaseName.h"
#include "tests/support/MinisignKey.h"

#include <curl/curl.h>

#include "platform/network/InternetErrors.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

const QByteArray Sum = "4a5e1e4baab89f3a32518a88c31bc87f618f76673e2cc77ab2127b7afdeda33b";
const QByteArray List = Sum + "  KXsetup64.exe\n# size 70002 KXsetup64.exe\n";
const QString Stamp = QStringLiteral("kaplix 12.1 ver121 serial=2026121005 expires=2027-06-30");
// The day the checks run, before the stamp's expiry.
const QDate Today(2027, 1, 15);

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

// What the server gave, and what the assistant holds: its keys and the highest serial it saw.
struct Served {
    TFetchedFile list;
    TFetchedFile signature;
    QList<QByteArray> keys;
    std::uint64_t seenSerial = 0;
};

// The keys the check is given: the release key and a stranger's.
struct Keys {
    const MinisignKey& release;
    const MinisignKey& stranger;
};

// List signed with the release key under a trusted comment.
Served SignedList(const Keys& k, const QByteArray& list = List, const QString& comment = Stamp)
{
    return Served{Received(list), Received(k.release.sign(list, MinisignKey::Mode::Prehashed, comment)),
                  {k.release.publicKey()}};
}

struct CheckCase {
    const char* name;
    std::function<Served(const Keys& k)> served;
    bool allowed;
    TDownloadVerification verification;
    TDownloadProblem problem;  // when not allowed
    const char* details;       // when not allowed: what the details say, when that matters
    friend void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }
};

class ReleaseChecks : public WithMinisignKeys<testing::TestWithParam<CheckCase>> {};

TEST_P(ReleaseChecks, AllowOnlyWhatTheKeyVouchesFor)
{
    ASSERT_TRUE(s_release->isValid() && s_stranger->isValid()) << "minisign is missing: scripts/bootstrap installs it";
    const CheckCase& test = GetParam();
    const Served served = test.served(Keys{*s_release, *s_stranger});
    TReleaseWanted wanted;
    wanted.Keys = served.keys;
    wanted.FileName = QStringLiteral("KXsetup64.exe");
    wanted.Version = QStringLiteral("12.1");
    wanted.Directory = QStringLiteral("ver121");
    wanted.Today = Today;
    wanted.SeenSerial = served.seenSerial;

    const TReleaseCheck check = CheckRelease(wanted, served.list, served.signature);
    EXPECT_EQ(check.Allowed, test.allowed) << check.Details.toStdString();
    if (check.Allowed) {
        EXPECT_EQ(check.Verification, test.verification);
        EXPECT_EQ(check.ExpectedSHA256, test.verification == dvNone ? QString() : QString::fromLatin1(Sum));
        EXPECT_EQ(check.ExpectedSize, test.verification == dvNone ? -1 : 70002);
        EXPECT_EQ(check.Serial, test.verification == dvSignedList ? 2026121005u : 0u);
    } else {
        EXPECT_EQ(check.Problem, test.problem);
        EXPECT_FALSE(check.Details.isEmpty());
        EXPECT_TRUE(check.Details.contains(QString::fromUtf8(test.details))) << check.Details.toStdString();
        EXPECT_TRUE(check.ExpectedSHA256.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Servers, ReleaseChecks,
    testing::Values(
        CheckCase{"SignedListNamingTheFile", [](const Keys& k) { return SignedList(k); }, true, dvSignedList, dpUnknown,
                  ""},
        CheckCase{"SignedWithTheSecondOfTwoKeys",
                  [](const Keys& k) {
                      Served served = SignedList(k);
                      served.keys = {k.stranger.publicKey(), k.release.publicKey()};
                      return served;
                  },
                  true, dvSignedList, dpUnknown, ""},
        CheckCase{"SignedWithNeitherOfTwoKeys",
                  [](const Keys& k) {
                      Served served = SignedList(k);
                      served.keys = {k.stranger.publicKey(), k.stranger.publicKey()};
                      return served;
                  },
                  false, dvNone, dpNotVerified, "another key"},
        CheckCase{"TamperedListUnderTwoKeys",
                  [](const Keys& k) {
                      Served served = SignedList(k);
                      served.list.Content[3] = 'f';
                      served.keys = {k.stranger.publicKey(), k.release.publicKey()};
                      return served;
                  },
                  false, dvNone, dpNotVerified, "does not match the signed file"},
        CheckCase{"OneOfTheKeysIsNoKey",
                  [](const Keys& k) {
                      Served served = SignedList(k);
                      served.keys = {k.release.publicKey(), QByteArray("RWnotakey")};
                      return served;
                  },
                  false, dvNone, dpNotVerified, "not a minisign public key"},
        CheckCase{"TamperedList",
                  [](const Keys& k) {
                      Served served = SignedList(k);
                      served.list.Content[3] = 'f';
                      return served;
                  },
                  false, dvNone, dpNotVerified, ""},
        CheckCase{"SignedByAStranger",
                  [](const Keys& k) {
                      return Served{Received(List), Received(k.stranger.sign(List, MinisignKey::Mode::Prehashed, Stamp)),
                                    {k.release.publicKey()}};
                  },
                  false, dvNone, dpNotVerified, ""},
        CheckCase{"SignedWithMinisignsOwnComment",
                  [](const Keys& k) {
                      return Served{Received(List), Received(k.release.sign(List)), {k.release.publicKey()}};
                  },
                  false, dvNone, dpNotVerified, "does not name its product, version, serial and expiry date"},
        CheckCase{"ListOfAnotherVersion",
                  [](const Keys& k) {
                      return SignedList(k, List, QStringLiteral("kaplix 9.21 ver921 serial=2026121005 expires=2027-06-30"));
                  },
                  false, dvNone, dpNotVerified, "The checksum list on this server is for version 9.21, not 12.1"},
        CheckCase{"ListOfTheVersionInAnotherFolder",
                  [](const Keys& k) {
                      return SignedList(k, List, QStringLiteral("kaplix 12.1 ver120 serial=2026121005 expires=2027-06-30"));
                  },
                  false, dvNone, dpNotVerified, "is for the folder ver120, not ver121"},
        CheckCase{"ListOfAnotherProduct",
                  [](const Keys& k) {
                      return SignedList(k, List, QStringLiteral("kaplux 12.1 ver121 serial=2026121005 expires=2027-06-30"));
                  },
                  false, dvNone, dpNotVerified, "does not name its product"},
        CheckCase{"ExpiredYesterday",
                  [](const Keys& k) {
                      return SignedList(k, List, QStringLiteral("kaplix 12.1 ver121 serial=2026121005 expires=2027-01-14"));
                  },
                  false, dvNone, dpOutOfDate,
                  "The checksum list on this server expired on 2027-01-14: the mirror is out of date"},
        CheckCase{"ExpiresToday",
                  [](const Keys& k) {
                      return SignedList(k, List, QStringLiteral("kaplix 12.1 ver121 serial=2026121005 expires=2027-01-15"));
                  },
                  false, dvNone, dpOutOfDate, "expired on 2027-01-15"},
        CheckCase{"ExpiresTomorrow",
                  [](const Keys& k) {
                      return SignedList(k, List, QStringLiteral("kaplix 12.1 ver121 serial=2026121005 expires=2027-01-16"));
                  },
                  true, dvSignedList, dpUnknown, ""},
        CheckCase{"LowerSerialThanSeenBefore",
                  [](const Keys& k) {
                      Served served = SignedList(k);
                      served.seenSerial = 2026121006;
                      return served;
                  },
                  false, dvNone, dpOutOfDate,
                  "The checksum list on this server has serial 2026121005, lower than 2026121006 seen before for "
                  "version 12.1: the mirror is out of date"},
        CheckCase{"SameSerialAsSeenBefore",
                  [](const Keys& k) {
                      Served served = SignedList(k);
                      served.seenSerial = 2026121005;
                      return served;
                  },
                  true, dvSignedList, dpUnknown, ""},
        CheckCase{"SignedListWithoutTheFile",
                  [](const Keys& k) { return SignedList(k, Sum + "  KXsetup32.exe\n# size 70002 KXsetup32.exe\n"); },
                  false, dvNone, dpNotVerified, "SHA256SUMS does not name KXsetup64.exe"},
        CheckCase{"SignedListWithoutTheSize",
                  [](const Keys& k) { return SignedList(k, Sum + "  KXsetup64.exe\n# size 70002 KXsetup32.exe\n"); },
                  false, dvNone, dpNotVerified, "SHA256SUMS gives no size for KXsetup64.exe"},
        // A version the server does not have is not a security alarm.
        CheckCase{"NoList",
                  [](const Keys& k) { return Served{HttpError(404), HttpError(404), {k.release.publicKey()}}; }, false,
                  dvNone, dpNotFound, ""},
        CheckCase{"ListWithoutSignature",
                  [](const Keys& k) { return Served{Received(List), HttpError(404), {k.release.publicKey()}}; }, false,
                  dvNone, dpNotVerified, ""},
        CheckCase{"LoginPageForEverything",
                  [](const Keys& k) {
                      const QByteArray page = "<html><body>Accept our terms</body></html>";
                      return Served{Received(page), Received(page), {k.release.publicKey()}};
                  },
                  false, dvNone, dpNotVerified, ""},
        CheckCase{"KeyThatIsNoKey",
                  [](const Keys& k) {
                      Served served = SignedList(k);
                      served.keys = {QByteArray("RWnotakey")};
                      return served;
                  },
                  false, dvNone, dpNotVerified, ""},
        CheckCase{"ServerUnreachable",
                  [](const Keys& k) { return Served{Unreachable(), Unreachable(), {k.release.publicKey()}}; }, false,
                  dvNone, dpNoConnection, ""},
        CheckCase{"ServerGoneBeforeTheSignature",
                  [](const Keys& k) { return Served{Received(List), Unreachable(), {k.release.publicKey()}}; }, false,
                  dvNone, dpNoConnection, ""},
        CheckCase{"NoKeyUnsignedList", [](const Keys&) { return Served{Received(List), {}, {}}; }, true, dvUnsignedList,
                  dpUnknown, ""},
        CheckCase{"NoKeyNoList", [](const Keys&) { return Served{HttpError(404), {}, {}}; }, true, dvNone, dpUnknown,
                  ""},
        CheckCase{"NoKeyListWithoutTheFile",
                  [](const Keys&) { return Served{Received(Sum + "  other.exe\n# size 70002 other.exe\n"), {}, {}}; },
                  true, dvNone, dpUnknown, ""},
        CheckCase{"NoKeyServerUnreachable", [](const Keys&) { return Served{Unreachable(), {}, {}}; }, false, dvNone,
                  dpNoConnection, ""}),
    caseName);

TEST(ReleaseCheck, WithoutAKeyAListWithoutSizesStillGivesTheChecksum)
{
    TReleaseWanted wanted;
    wanted.FileName = QStringLiteral("KXsetup64.exe");
    const TReleaseCheck check = CheckRelease(wanted, Received(Sum + "  KXsetup64.exe\n"), {});
    EXPECT_TRUE(check.Allowed);
    EXPECT_EQ(check.Verification, dvUnsignedList);
    EXPECT_EQ(check.ExpectedSHA256, QString::fromLatin1(Sum));
    EXPECT_EQ(check.ExpectedSize, -1);
}

TEST(VerificationText, TellsTheThreeWaysApart)
{
    EXPECT_EQ(VerificationText(dvSignedList), QStringLiteral("verified by a signed checksum list"));
    EXPECT_EQ(VerificationText(dvUnsignedList), QStringLiteral("checked against an unsigned checksum list"));
    EXPECT_EQ(VerificationText(dvNone), QStringLiteral("not verified: no checksum list names it"));
}

} // namespace
