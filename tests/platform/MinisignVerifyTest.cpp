#include "platform/crypto/MinisignVerify.h"
#include "tests/support/CaseName.h"
#include "tests/support/MinisignKey.h"

#include <QList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

using platform::MinisignCheck;

const QByteArray List = "4a5e1e4baab89f3a32518a88c31bc87f618f76673e2cc77ab2127b7afdeda33b  KXsetup64.exe\n";

// Signatures made by the real minisign tool; two keys, so that one can stand for a stranger's.
class MinisignVerify : public WithMinisignKeys<testing::Test> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(s_release->isValid()) << "minisign is missing: scripts/bootstrap installs it";
        ASSERT_TRUE(s_stranger->isValid());
    }
};

// Replaces line index (0 to 3) of a signature file.
QByteArray WithLine(const QByteArray& signature, int index, const QByteArray& line)
{
    QList<QByteArray> lines = signature.split('\n');
    lines[index] = line;
    return lines.join('\n');
}

// Changes one byte inside the base64 line index, keeping it valid base64.
QByteArray FlipByteOfLine(const QByteArray& signature, int index, int byte)
{
    QByteArray decoded = QByteArray::fromBase64(signature.split('\n')[index]);
    decoded[byte] = char(decoded[byte] ^ 0x01);
    return WithLine(signature, index, decoded.toBase64());
}

struct SignatureCase {
    const char* name;
    MinisignKey::Mode mode;
    // What happens to the list, the signature file and the key between signing and checking.
    std::function<void(QByteArray& list, QByteArray& signature, QByteArray& key, const MinisignKey& stranger)> change;
    MinisignCheck expected;
    friend void PrintTo(const SignatureCase& c, std::ostream* os) { *os << c.name; }
};

class MinisignSignatures : public MinisignVerify, public testing::WithParamInterface<SignatureCase> {};

TEST_P(MinisignSignatures, AreCheckedOverTheDataTheCommentAndTheKey)
{
    const SignatureCase& test = GetParam();
    QByteArray list = List;
    QByteArray signature = s_release->sign(list, test.mode, QStringLiteral("KAPLIX 12.1"));
    ASSERT_FALSE(signature.isEmpty());
    QByteArray key = s_release->publicKey();
    if (test.change)
        test.change(list, signature, key, *s_stranger);

    const platform::MinisignResult result = platform::verifyMinisign(key, list, signature);
    EXPECT_EQ(result.check, test.expected) << result.message.toStdString();
    EXPECT_EQ(result.ok(), test.expected == MinisignCheck::valid);
    if (result.ok())
        EXPECT_EQ(result.trustedComment, QStringLiteral("KAPLIX 12.1"));
    else
        EXPECT_FALSE(result.message.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MinisignSignatures,
    testing::Values(
        SignatureCase{"PrehashedAsMinisignSignsByDefault", MinisignKey::Mode::Prehashed, nullptr, MinisignCheck::valid},
        SignatureCase{"Legacy", MinisignKey::Mode::Legacy, nullptr, MinisignCheck::valid},
        SignatureCase{"WindowsLineEnds", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) { s.replace("\n", "\r\n"); },
                      MinisignCheck::valid},
        SignatureCase{"KeyWithBlanksAround", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray&, QByteArray& k, const MinisignKey&) { k = " " + k + "\n"; },
                      MinisignCheck::valid},
        SignatureCase{"TamperedList", MinisignKey::Mode::Prehashed,
                      [](QByteArray& l, QByteArray&, QByteArray&, const MinisignKey&) { l[0] = '5'; },
                      MinisignCheck::badSignature},
        SignatureCase{"TamperedLegacyList", MinisignKey::Mode::Legacy,
                      [](QByteArray& l, QByteArray&, QByteArray&, const MinisignKey&) { l.append("00  evil.exe\n"); },
                      MinisignCheck::badSignature},
        SignatureCase{"TamperedSignatureBytes", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) { s = FlipByteOfLine(s, 1, 40); },
                      MinisignCheck::badSignature},
        SignatureCase{"PrehashedClaimedLegacy", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) {
                          QByteArray d = QByteArray::fromBase64(s.split('\n')[1]);
                          d[1] = 'd';
                          s = WithLine(s, 1, d.toBase64());
                      },
                      MinisignCheck::badSignature},
        SignatureCase{"TamperedTrustedComment", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) {
                          s = WithLine(s, 2, "trusted comment: KAPLIX 99.9");
                      },
                      MinisignCheck::badTrustedComment},
        SignatureCase{"TamperedGlobalSignature", MinisignKey::Mode::Legacy,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) { s = FlipByteOfLine(s, 3, 0); },
                      MinisignCheck::badTrustedComment},
        SignatureCase{"UntrustedCommentMayChange", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) {
                          s = WithLine(s, 0, "untrusted comment: anything at all");
                      },
                      MinisignCheck::valid},
        SignatureCase{"AnotherKey", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray&, QByteArray& k, const MinisignKey& stranger) { k = stranger.publicKey(); },
                      MinisignCheck::otherKey},
        SignatureCase{"AnotherKeyWithTheKeyIdCopied", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray& k, const MinisignKey& stranger) {
                          // The stranger's key claims the release key's id: only the signature tells.
                          const QByteArray release = QByteArray::fromBase64(k);
                          QByteArray other = QByteArray::fromBase64(stranger.publicKey());
                          other.replace(2, 8, release.mid(2, 8));
                          k = other.toBase64();
                          (void)s;
                      },
                      MinisignCheck::badSignature},
        SignatureCase{"SignatureFileCutShort", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) {
                          s = s.left(s.lastIndexOf("trusted comment"));
                      },
                      MinisignCheck::malformedSignature},
        SignatureCase{"LineAfterTheSignature", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) { s.append("more\n"); },
                      MinisignCheck::malformedSignature},
        SignatureCase{"SignatureNotBase64", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) {
                          s = WithLine(s, 1, "RUT/NWvPhG1wr+USIBvF++QOMZsIHa!!");
                      },
                      MinisignCheck::malformedSignature},
        SignatureCase{"SignatureOfTheWrongLength", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) {
                          s = WithLine(s, 1, QByteArray::fromBase64(s.split('\n')[1]).left(70).toBase64());
                      },
                      MinisignCheck::malformedSignature},
        SignatureCase{"UnknownAlgorithm", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) {
                          QByteArray d = QByteArray::fromBase64(s.split('\n')[1]);
                          d[0] = 'X';
                          s = WithLine(s, 1, d.toBase64());
                      },
                      MinisignCheck::malformedSignature},
        SignatureCase{"NoTrustedCommentLine", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) {
                          s = WithLine(s, 2, "KAPLIX 12.1");
                      },
                      MinisignCheck::malformedSignature},
        SignatureCase{"EmptySignatureFile", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) { s.clear(); },
                      MinisignCheck::malformedSignature},
        SignatureCase{"HtmlPageInsteadOfASignature", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray& s, QByteArray&, const MinisignKey&) {
                          s = "<html>\n<body>Please log in</body>\n</html>\n";
                      },
                      MinisignCheck::malformedSignature},
        SignatureCase{"EmptyKey", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray&, QByteArray& k, const MinisignKey&) { k.clear(); },
                      MinisignCheck::badPublicKey},
        SignatureCase{"KeyCutShort", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray&, QByteArray& k, const MinisignKey&) {
                          k = QByteArray::fromBase64(k).left(41).toBase64();
                      },
                      MinisignCheck::badPublicKey},
        SignatureCase{"KeyOfAnotherAlgorithm", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray&, QByteArray& k, const MinisignKey&) {
                          QByteArray d = QByteArray::fromBase64(k);
                          d[1] = 'X';
                          k = d.toBase64();
                      },
                      MinisignCheck::badPublicKey},
        SignatureCase{"WholePublicKeyFileInsteadOfItsLine", MinisignKey::Mode::Prehashed,
                      [](QByteArray&, QByteArray&, QByteArray& k, const MinisignKey&) {
                          k = "untrusted comment: minisign public key\n" + k;
                      },
                      MinisignCheck::badPublicKey}),
    caseName);

TEST(MinisignPublicKey, IsRecognisedByItsForm)
{
    MinisignKey key;
    ASSERT_TRUE(key.isValid());
    EXPECT_TRUE(platform::isMinisignPublicKey(key.publicKey()));
    EXPECT_FALSE(platform::isMinisignPublicKey("RWnotakey"));
    EXPECT_FALSE(platform::isMinisignPublicKey(QByteArray()));
}

} // namespace
