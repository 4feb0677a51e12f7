#pragma once

#include <QFile>
#include <QString>

#include <cstdint>
#include <vector>

// The local file a download writes. The bytes go to a temporary file beside the target, which
// replaces the target only on Commit; until then an existing file of that name stays as it
// was, and Discard (or destruction) leaves nothing behind. Blocks are gathered in a buffer
// larger than one block so the disk sees few, large writes.
class TDownloadTarget {
public:
    TDownloadTarget();
    ~TDownloadTarget();
    TDownloadTarget(const TDownloadTarget&) = delete;
    TDownloadTarget& operator=(const TDownloadTarget&) = delete;

    bool Open(const QString& Path);
    // False when the disk refused the bytes (full, or a size limit).
    bool Write(const char* Data, std::int64_t Length);
    // Writes what is buffered; false when the disk refused it.
    bool Flush();
    // Puts the complete file in place of the target; false when that failed.
    bool Commit();
    void Discard();

private:
    QString FPath;
    QFile FFile;
    std::vector<char> FBuffer;
    std::size_t FUsed = 0;
};
