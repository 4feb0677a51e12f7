#include "platform/Sha256.h"

#include <openssl/evp.h>

namespace platform {

void Sha256::ContextFree::operator()(evp_md_ctx_st* context) const
{
    EVP_MD_CTX_free(context);
}

Sha256::Sha256()
    : m_context(EVP_MD_CTX_new())
{
    reset();
}

Sha256::~Sha256() = default;

void Sha256::reset()
{
    m_ok = m_context && EVP_DigestInit_ex(m_context.get(), EVP_sha256(), nullptr) == 1;
}

void Sha256::addData(const char* data, std::int64_t size)
{
    if (m_ok && size > 0)
        m_ok = EVP_DigestUpdate(m_context.get(), data, static_cast<std::size_t>(size)) == 1;
}

QByteArray Sha256::result() const
{
    if (!m_ok)
        return {};
    // Finishing consumes a context: finish a copy, so the running digest can go on.
    std::unique_ptr<evp_md_ctx_st, ContextFree> copy(EVP_MD_CTX_new());
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!copy || EVP_MD_CTX_copy_ex(copy.get(), m_context.get()) != 1
        || EVP_DigestFinal_ex(copy.get(), digest, &length) != 1)
        return {};
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length));
}

QString Sha256::hexResult() const
{
    return QString::fromLatin1(result().toHex());
}

} // namespace platform
