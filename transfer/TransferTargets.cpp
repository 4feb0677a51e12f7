#include "transfer/TransferRun.h"

#include "platform/files/DiskSpace.h"
#include "platform/files/LocalFiles.h"
#include "transfer/DownloadTarget.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"

#include <QFileInfo>
#include <QLocale>

#include <limits>

bool TTransferRun::OpenTarget(TDownloadTarget& File, const QString& Path)
{
    // Only file systems without unnamed files leave such files behind.
    const QString folder = QFileInfo(Path).path();
    if (!FSweptFolders.contains(folder)) {
        FSweptFolders.insert(folder);
        platform::removeStalePendingFiles(folder);
    }
    return File.Open(Path);
}

bool TTransferRun::FinishDownload(TDownloadTarget& File, TJobRun& Run, bool WriteFailed, bool Interrupted,
                                  const QString& Path, QStringView CreatePrefix, const QString& InterruptedBy)
{
    if (WriteFailed || !File.Flush()) {
        File.Discard();
        ReportError(weTargetWrite, Path);
        return false;
    }
    if (Interrupted) {
        // What arrived is kept for the next run when the target can be resumed.
        File.Keep();
        ReportError(weInterrupted, InterruptedBy.isEmpty() ? Path : Path + QStringLiteral(": ") + InterruptedBy);
        return false;
    }
    switch (File.Check()) {
    case TDownloadTarget::tcExpected:
        break;
    case TDownloadTarget::tcUnexpectedStart:
        File.Discard();
        ReportError(weUnexpectedContent, Path);
        return false;
    case TDownloadTarget::tcWrongSize:
        File.Discard();
        ReportError(weSize, Path);
        return false;
    case TDownloadTarget::tcChecksumMismatch:
        File.Discard();
        ReportError(weChecksum, Path);
        return false;
    }
    const QString digest = File.SHA256();
    if (!File.Commit()) {
        ReportError(weTargetCreate, CreatePrefix, Path);
        return false;
    }
    Run.SHA256 = digest;
    return true;
}

bool TTransferRun::CheckRoom(const QString& Path, std::int64_t Size, std::int64_t Resumed)
{
    // Room the file system keeps for what else is written meanwhile (directory entries,
    // metadata, a log); a file-size limit is exact and needs none.
    constexpr std::int64_t Margin = 1024 * 1024;
    if (Size <= 0)
        return true;
    const platform::DiskRoom room = platform::diskRoom(DirectoryPart(Path));
    const std::int64_t remaining = std::max<std::int64_t>(Size - Resumed, 0);
    const QLocale c = QLocale::c();
    QString needed;
    std::int64_t available = 0;
    if (room.fileSizeLimit >= 0 && Size > room.fileSizeLimit) {
        needed = c.formattedDataSize(Size, 1);
        available = room.fileSizeLimit;
    } else if (room.available >= 0 && room.available - remaining < Margin) {
        available = room.available;
        // A length a hostile server claims may be near the largest number there is.
        if (remaining > std::numeric_limits<std::int64_t>::max() - Margin) {
            needed = c.formattedDataSize(remaining, 1);
        } else {
            // The figure says what it holds: a file of 3.0 MiB needs 4.0 MiB of free room.
            needed = c.formattedDataSize(remaining + Margin, 1) + QStringLiteral(" (")
                + c.formattedDataSize(remaining, 1) + QStringLiteral(" and ") + c.formattedDataSize(Margin, 1)
                + QStringLiteral(" to spare)");
        }
    } else {
        return true;
    }
    ReportError(weTargetWrite, Path + QStringLiteral(": not enough room, %1 needed, %2 free")
                                          .arg(needed, c.formattedDataSize(available, 1)));
    return false;
}
