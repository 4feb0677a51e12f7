#include "platform/crypto/MinisignVerify.h"

#include <QList>

#include "platform/crypto/CryptoLibrary.h"

#include <memory>
#include <optional>

namespace platform {

namespace {

constexpr int AlgorithmSize = 2;
constexpr int KeyIdSize = 8;
constexpr int KeySize = 32;
constexpr int SignatureSize = 64;
constexpr int Blake2b512Size = 64;

struct PublicKey {
    QByteArray keyId;
    QByteArray key;
};

struct Signature {
    QByteArray algorithm;
    QByteArray keyId;
    QByteArray signature;
    QByteArray trustedComment;
    QByteArray globalSignature;
};

std::optional<QByteArray> strictBase64(const QByteArray& text)
{
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || text.isEmpty())
        return std::nullopt;
    return decoded.decoded;
}

std::optional<PublicKey> parsePublicKey(const QByteArray& line)
{
    const std::optional<QByteArray> bytes = strictBase64(line.trimmed());
    if (!bytes || bytes->size() != AlgorithmSize + KeyIdSize + KeySize || !bytes->startsWith("Ed"))
        return std::nullopt;
    return PublicKey{bytes->mid(AlgorithmSize, KeyIdSize), bytes->mid(AlgorithmSize + KeyIdSize)};
}

std::optional<Signature> parseSignature(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    // Four lines; a final line break gives one more, empty, and nothing may follow it.
    if (lines.size() == 5 && lines[4].isEmpty())
        lines.removeLast();
    if (lines.size() != 4)
        return std::nullopt;
    static const QByteArray untrusted = "untrusted comment:";
    static const QByteArray trusted = "trusted comment: ";
    if (!lines[0].startsWith(untrusted) || !lines[2].startsWith(trusted))
        return std::nullopt;
    const std::optional<QByteArray> signature = strictBase64(lines[1]);
    const std::optional<QByteArray> global = strictBase64(lines[3]);
    if (!signature || signature->size() != AlgorithmSize + KeyIdSize + SignatureSize || !global
        || global->size() != SignatureSize)
        return std::nullopt;
    const QByteArray algorithm = signature->left(AlgorithmSize);
    if (algorithm != "Ed" && algorithm != "ED")
        return std::nullopt;
    return Signature{algorithm, signature->mid(AlgorithmSize, KeyIdSize), signature->mid(AlgorithmSize + KeyIdSize),
                     lines[2].mid(trusted.size()), *global};
}

struct PkeyFree {
    void operator()(EVP_PKEY* key) const { cryptoLibrary().pkeyFree(key); }
};
struct MdCtxFree {
    void operator()(EVP_MD_CTX* context) const { cryptoLibrary().mdCtxFree(context); }
};

bool ed25519Verify(const QByteArray& key, const QByteArray& message, const QByteArray& signature)
{
    const CryptoLibrary& crypto = cryptoLibrary();
    if (!crypto.isLoaded())
        return false;
    const std::unique_ptr<EVP_PKEY, PkeyFree> pkey(crypto.newRawPublicKey(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(key.constData()), std::size_t(key.size())));
    const std::unique_ptr<EVP_MD_CTX, MdCtxFree> context(crypto.mdCtxNew());
    if (!pkey || !context || crypto.digestVerifyInit(context.get(), nullptr, nullptr, nullptr, pkey.get()) != 1)
        return false;
    return crypto.digestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.constData()),
                            std::size_t(signature.size()), reinterpret_cast<const unsigned char*>(message.constData()),
                            std::size_t(message.size()))
        == 1;
}

std::optional<QByteArray> blake2b512(const QByteArray& data)
{
    const CryptoLibrary& crypto = cryptoLibrary();
    if (!crypto.isLoaded())
        return std::nullopt;
    QByteArray digest(Blake2b512Size, '\0');
    unsigned int length = 0;
    if (crypto.digest(data.constData(), std::size_t(data.size()), reinterpret_cast<unsigned char*>(digest.data()), &length,
                      crypto.blake2b512(), nullptr)
            != 1
        || length != Blake2b512Size)
        return std::nullopt;
    return digest;
}

MinisignResult failure(MinisignCheck check, const char* message)
{
    return {check, {}, QString::fromLatin1(message)};
}

} // namespace

bool isMinisignPublicKey(const QByteArray& publicKey)
{
    return parsePublicKey(publicKey).has_value();
}

MinisignResult verifyMinisign(const QByteArray& publicKey, const QByteArray& data, const QByteArray& signatureFile)
{
    const std::optional<PublicKey> key = parsePublicKey(publicKey);
    if (!key)
        return failure(MinisignCheck::badPublicKey, "The release key is not a minisign public key");
    const std::optional<Signature> signature = parseSignature(signatureFile);
    if (!signature)
        return failure(MinisignCheck::malformedSignature, "The signature is not a minisign signature");
    if (signature->keyId != key->keyId)
        return failure(MinisignCheck::otherKey, "The signature was made with another key");

    std::optional<QByteArray> message = data;
    if (signature->algorithm == "ED")
        message = blake2b512(data);
    if (!message || !ed25519Verify(key->key, *message, signature->signature))
        return failure(MinisignCheck::badSignature, "The signature does not match the signed file");
    if (!ed25519Verify(key->key, signature->signature + signature->trustedComment, signature->globalSignature))
        return failure(MinisignCheck::badTrustedComment, "The signature's trusted comment was changed");
    return {MinisignCheck::valid, QString::fromUtf8(signature->trustedComment), {}};
}

} // namespace platform
