#pragma once

#include "platform/crypto/Sha256.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace platform {

// A SHA-256 digest computed beside the caller: once a file has grown past a few blocks, the
// blocks fed to it are hashed on a thread of its own, so a large download spends its time on
// the network and the disk while the other core hashes. Small files are hashed at once, which
// costs less than handing them over. Everything fed is hashed in the order it came.
class BackgroundSha256 {
public:
    BackgroundSha256();
    ~BackgroundSha256();
    BackgroundSha256(const BackgroundSha256&) = delete;
    BackgroundSha256& operator=(const BackgroundSha256&) = delete;

    // Copies the bytes; waits only while the thread is several blocks behind.
    void addData(const char* data, std::int64_t size);
    // Starts over, as a new digest.
    void reset();
    // The digest of everything fed so far as 64 lower-case hexadecimal digits (waits for the
    // thread to catch up); empty when the library failed.
    QString hexResult() const;

private:
    struct Worker;
    Sha256 m_digest;
    std::int64_t m_fed = 0;
    // Hashes what is handed over into m_digest; made when the first large file needs it, and
    // gone (its thread finished) before the digest is.
    std::unique_ptr<Worker> m_worker;
};

} // namespace platform
