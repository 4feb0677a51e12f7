#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

struct evp_md_ctx_st;

namespace platform {

// A running SHA-256 digest, computed by OpenSSL. Feed it bytes with addData; result() gives
// the digest of everything fed since construction or the last reset().
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void reset();
    void addData(const char* data, std::int64_t size);
    // The 32-byte digest; empty when the library failed (no digest can be trusted then).
    // The digest is not affected: more data may follow.
    QByteArray result() const;
    // The digest as 64 lower-case hexadecimal digits; empty when the library failed.
    QString hexResult() const;

private:
    struct ContextFree {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, ContextFree> m_context;
    bool m_ok = false;
};

} // namespace platform
