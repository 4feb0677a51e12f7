#pragma once

#include "platform/files/LocalFiles.h"
#include "platform/crypto/BackgroundSha256.h"
#include "transfer/DownloadSize.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <utility>

// The local file a download or a copy writes. The bytes go to a pending file that replaces the
// target only on Commit; until then an existing file of that name stays as it was, and Discard
// (or destruction, or a killed process) leaves nothing behind. A symbolic link at the target
// is replaced, never written through, and an existing file this user may not write is not
// replaced at all. Blocks are gathered in a buffer larger than one block so the disk sees
// few, large writes; the SHA-256 of the file, where one is asked for, is computed on those large
// blocks as they go, on a thread of its own once the file is large.
//
// A resumable target is a hidden partial file beside the target, with a small record of
// where it came from (its info file): Keep leaves both for a later run, which continues the
// file with Reopen. Commit and Discard remove both.
class TDownloadTarget {
public:
    enum TContent { tcExpected, tcChecksumMismatch, tcUnexpectedStart, tcWrongSize };

    TDownloadTarget();
    ~TDownloadTarget();
    TDownloadTarget(const TDownloadTarget&) = delete;
    TDownloadTarget& operator=(const TDownloadTarget&) = delete;

    // What the complete file must be: its SHA-256 (hexadecimal, either case) and the bytes it
    // begins with. Empty values are not checked. The digest is computed when one is expected
    // or Digest asks for it; call this before the file is opened.
    void Expect(const QString& SHA256, const QByteArray& Start, bool Digest);
    // The sizes the complete file may have; a part larger than they allow is never kept.
    void ExpectSize(const TDownloadSize& Size) { FExpectedSize = Size; }

    // False when the file cannot be made or the target may not be replaced.
    bool Open(const QString& Path);
    // Gathers the bytes in memory instead of a file: Commit keeps them for Content.
    void OpenInMemory();
    // Open, with the pending file at PartPath and Info written to InfoPath, so that Keep can
    // leave them for a later run. False when either cannot be made safely.
    bool OpenResumable(const QString& Path, const QString& PartPath, const QString& InfoPath, const QByteArray& Info);
    // Continues the partial file a former run kept at PartPath: its bytes count towards the
    // digest and the expected start, and new bytes are appended. False when it is not a
    // private file of this user or cannot be read.
    bool Reopen(const QString& Path, const QString& PartPath, const QString& InfoPath);
    // False when the disk refused the bytes (full, or a size limit).
    bool Write(const char* Data, std::int64_t Length);
    // Writes what is buffered; false when the disk refused it.
    bool Flush();
    // Whether everything written so far (flushed) is what Expect and ExpectSize asked for:
    // its start first, then its size, and only a file of a fitting size is held against the
    // checksum.
    TContent Check() const;
    // Lower-case hexadecimal SHA-256 of everything written so far (flushed); empty when no
    // digest is computed.
    QString SHA256() const { return FDigest ? FDigest->hexResult() : QString(); }
    // Bytes in the file, a reopened file's earlier ones included.
    std::int64_t Size() const { return FSize + static_cast<std::int64_t>(FUsed); }
    // Puts the complete file in place of the target; false when that failed.
    bool Commit();
    // What a target in memory received, once committed.
    QByteArray TakeContent() { return std::exchange(FContent, {}); }
    void Discard();
    // Leaves a resumable file and its info file for a later run (after Flush); false, with
    // the file discarded, when the target is not resumable, the file is already larger than
    // the expected size allows, or it could not be kept.
    bool Keep();

private:
    void Restart();

    platform::PendingFile FFile;
    // Not zero-filled: only what the download wrote into it is ever read.
    std::unique_ptr<char[]> FBuffer;
    std::size_t FUsed = 0;
    std::int64_t FSize = 0;
    // Only where a digest was asked for.
    std::unique_ptr<platform::BackgroundSha256> FDigest;
    QString FExpectedSHA256;
    QByteArray FExpectedStart;
    TDownloadSize FExpectedSize;
    QByteArray FStart;
    QString FInfoPath;
    bool FInMemory = false;
    QByteArray FContent;
};
