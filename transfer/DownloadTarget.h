#pragma once

#include "platform/LocalFiles.h"

#include <QString>

#include <cstdint>
#include <vector>

// The local file a download or a copy writes. The bytes go to a pending file that replaces the
// target only on Commit; until then an existing file of that name stays as it was, and Discard
// (or destruction, or a killed process) leaves nothing behind. A symbolic link at the target
// is replaced, never written through, and an existing file this user may not write is not
// replaced at all. Blocks are gathered in a buffer larger than one block so the disk sees
// few, large writes.
class TDownloadTarget {
public:
    TDownloadTarget();
    ~TDownloadTarget();
    TDownloadTarget(const TDownloadTarget&) = delete;
    TDownloadTarget& operator=(const TDownloadTarget&) = delete;

    // False when the file cannot be made or the target may not be replaced.
    bool Open(const QString& Path);
    // False when the disk refused the bytes (full, or a size limit).
    bool Write(const char* Data, std::int64_t Length);
    // Writes what is buffered; false when the disk refused it.
    bool Flush();
    // Puts the complete file in place of the target; false when that failed.
    bool Commit();
    void Discard();

private:
    platform::PendingFile FFile;
    std::vector<char> FBuffer;
    std::size_t FUsed = 0;
};
