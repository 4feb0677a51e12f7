#include "platform/crypto/Sha256.h"

#include "platform/crypto/CryptoLibrary.h"

namespace platform {

void Sha256::ContextFree::operator()(evp_md_ctx_st* context) const
{
    cryptoLibrary().mdCtxFree(context);
}

// Without libcrypto there is no context, and every digest is empty.
Sha256::Sha256()
    : m_context(cryptoLibrary().isLoaded() ? cryptoLibrary().mdCtxNew() : nullptr)
{
    reset();
}

Sha256::~Sha256() = default;

void Sha256::reset()
{
    const CryptoLibrary& crypto = cryptoLibrary();
    m_ok = m_context && crypto.digestInit(m_context.get(), crypto.sha256(), nullptr) == 1;
}

void Sha256::addData(const char* data, std::int64_t size)
{
    if (m_ok && size > 0)
        m_ok = cryptoLibrary().digestUpdate(m_context.get(), data, static_cast<std::size_t>(size)) == 1;
}

QByteArray Sha256::result() const
{
    if (!m_ok)
        return {};
    // Finishing consumes a context: finish a copy, so the running digest can go on.
    const CryptoLibrary& crypto = cryptoLibrary();
    std::unique_ptr<evp_md_ctx_st, ContextFree> copy(crypto.mdCtxNew());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!copy || crypto.mdCtxCopy(copy.get(), m_context.get()) != 1
        || crypto.digestFinal(copy.get(), digest, &length) != 1)
        return {};
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length));
}

QString Sha256::hexResult() const
{
    return QString::fromLatin1(result().toHex());
}

} // namespace platform
