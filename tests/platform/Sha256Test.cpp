#include "platform/crypto/BackgroundSha256.h"
#include "platform/crypto/Sha256.h"

#include "tests/support/CaseName.h"
#include "tests/support/PatternedBytes.h"
#include "tests/support/QtPrinters.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

namespace {

struct Vector {
    const char* name;
    QByteArray message;
    const char* digest;
};

// FIPS 180-2 examples, and a message longer than one block of the algorithm.
const Vector Vectors[] = {
    {"Empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"Abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"TwoBlocks", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"MillionA", QByteArray(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

class Sha256Vectors : public testing::TestWithParam<Vector> {};

TEST_P(Sha256Vectors, DigestIsTheSameWholeOrInPieces)
{
    const Vector& vector = GetParam();
    platform::Sha256 whole;
    whole.addData(vector.message.constData(), vector.message.size());
    EXPECT_EQ(whole.hexResult(), QLatin1String(vector.digest));

    platform::Sha256 pieces;
    for (qsizetype at = 0; at < vector.message.size(); at += 4093)
        pieces.addData(vector.message.constData() + at, std::min<qsizetype>(4093, vector.message.size() - at));
    EXPECT_EQ(pieces.hexResult(), QLatin1String(vector.digest));
    EXPECT_EQ(pieces.result().toHex(), QByteArray(vector.digest));
}

INSTANTIATE_TEST_SUITE_P(Fips, Sha256Vectors, testing::ValuesIn(Vectors), caseName);

TEST(Sha256, ResultCanBeReadOnTheWayAndResetStartsAgain)
{
    platform::Sha256 digest;
    digest.addData("ab", 2);
    const QString early = digest.hexResult();
    digest.addData("c", 1);
    EXPECT_NE(early, digest.hexResult());
    EXPECT_EQ(digest.hexResult(), QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    digest.reset();
    EXPECT_EQ(digest.hexResult(), QStringLiteral("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
}

// Beside the caller: the same digest whether the bytes stay below the hand-over size, cross it
// or lie far beyond it, in blocks as the download target feeds them.
struct BackgroundCase {
    const char* name;
    qsizetype size;
};

class BackgroundSha256Sizes : public testing::TestWithParam<BackgroundCase> {};

TEST_P(BackgroundSha256Sizes, GiveTheDigestOfEverythingInOrder)
{
    const QByteArray message = patternedBytes(GetParam().size, PrimePattern);
    const QString expected = QString::fromLatin1(QCryptographicHash::hash(message, QCryptographicHash::Sha256).toHex());

    platform::BackgroundSha256 digest;
    for (qsizetype at = 0; at < message.size(); at += 65536)
        digest.addData(message.constData() + at, std::min<qsizetype>(65536, message.size() - at));
    EXPECT_EQ(digest.hexResult(), expected);
    EXPECT_EQ(digest.hexResult(), expected) << "reading the result changes nothing";
}

INSTANTIATE_TEST_SUITE_P(Sizes, BackgroundSha256Sizes,
                         testing::Values(BackgroundCase{"Empty", 0}, BackgroundCase{"OneBlock", 1000},
                                         BackgroundCase{"JustBelowTheHandOver", 1024 * 1024},
                                         BackgroundCase{"AcrossTheHandOver", 1024 * 1024 + 65536 + 7},
                                         BackgroundCase{"Large", 24 * 1024 * 1024 + 3}),
                         caseName);

TEST(BackgroundSha256, ResetAfterAHandOverStartsAgain)
{
    platform::BackgroundSha256 digest;
    const QByteArray large(3 * 1024 * 1024, 'x');
    digest.addData(large.constData(), large.size());
    digest.reset();
    digest.addData("abc", 3);
    EXPECT_EQ(digest.hexResult(), QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}

} // namespace
