#include "transfer/DownloadTarget.h"

#include <cstring>

namespace {

constexpr std::size_t WriteBufferSize = 256 * 1024;

} // namespace

TDownloadTarget::TDownloadTarget()
    : FBuffer(WriteBufferSize)
{
    // A target that cannot take a temporary file beside it is a failure, never a direct
    // overwrite that a cancel would leave half written.
    FFile.setDirectWriteFallback(false);
}

bool TDownloadTarget::Open(const QString& Path)
{
    FFile.setFileName(Path);
    return FFile.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool TDownloadTarget::Write(const char* Data, std::int64_t Length)
{
    while (Length > 0) {
        if (FUsed == FBuffer.size() && !Flush())
            return false;
        const std::size_t part = std::min(FBuffer.size() - FUsed, static_cast<std::size_t>(Length));
        std::memcpy(FBuffer.data() + FUsed, Data, part);
        FUsed += part;
        Data += part;
        Length -= static_cast<std::int64_t>(part);
    }
    return true;
}

bool TDownloadTarget::Flush()
{
    if (FUsed == 0)
        return true;
    const qint64 written = FFile.write(FBuffer.data(), static_cast<qint64>(FUsed));
    const bool ok = written == static_cast<qint64>(FUsed);
    FUsed = 0;
    return ok;
}

bool TDownloadTarget::Commit()
{
    return FFile.commit();
}

void TDownloadTarget::Discard()
{
    FUsed = 0;
    FFile.cancelWriting();
    FFile.commit(); // after cancelWriting this only removes the temporary file
}
