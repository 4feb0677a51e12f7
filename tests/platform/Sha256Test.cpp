#include "platform/Sha256.h"

#include "tests/support/CaseName.h"
#include "tests/support/QtPrinters.h"

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

} // namespace
