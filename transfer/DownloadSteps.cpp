#include "transfer/TransferRun.h"

#include "platform/network/InternetRequest.h"
#include "platform/files/LocalFiles.h"
#include "platform/system/TickCount.h"
#include "transfer/DownloadSize.h"
#include "transfer/DownloadTarget.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"

bool TTransferRun::DateTestAllows(TJobRun& Run, TDateTime SourceDate, const QString& Name, bool DateOnRefusal)
{
    if (OnFileDateCheck) {
        bool allow = true;
        OnFileDateCheck(this, Run.Index, SourceDate, allow);
        if (allow || DateOnRefusal)
            Run.DateSlot = SourceDate;
        return allow;
    }
    if (SourceDate > Run.DateSlot) {
        Run.DateSlot = SourceDate;
        return true;
    }
    Run.NotNewer = true;
    Run.DateSlot = SourceDate;
    if (OnNoNewFileFound)
        OnNoNewFileFound(this, Name, SourceDate, SourceDate);
    return false;
}

bool TTransferRun::PlaceTarget(QString& Path, QStringView CreatePrefix)
{
    // A directory there is no file to replace: the file cannot be made at all.
    const platform::FileKind existing = platform::fileKind(Path);
    if (existing == platform::FileKind::Directory) {
        ReportError(weTargetCreate, CreatePrefix, Path);
        return false;
    }
    if (existing != platform::FileKind::Missing) {
        bool allow = true;
        if (OnCopyOverWrite)
            OnCopyOverWrite(this, Path, allow);
        if (!allow)
            return false;
        if (CreateUniqueFilenames)
            Path = UniqueFileName(Path);
    }
    ForceDirs(DirectoryPart(Path));
    return true;
}

TTransferRun::TReceived TTransferRun::Receive(platform::InternetRequest& Source, TDownloadTarget& File,
                                              std::int64_t Total, const TDownloadSize& Sizes, std::int64_t Resumed)
{
    TReceived received;
    received.Done = Resumed;
    const std::uint32_t startTick = platform::tickCount();
    std::int64_t blockLength = BlockSize;
    char buffer[BlockSize];
    while (blockLength > 0 && !FCancelled) {
        KeepResponsive();
        // Never more than one byte past the size the file may have: that byte shows the body
        // is too long, and the rest of an endless one is never read.
        const platform::InternetResult got = Source.read(buffer, Sizes.NextRead(received.Done, BlockSize), blockLength);
        if (!got.ok) {
            received.Interrupted = true;
            received.Failure = got;
            break;
        }
        if (blockLength > 0 && !File.Write(buffer, blockLength)) {
            received.WriteFailed = true;
            break;
        }
        received.Done += blockLength;
        ShowProgress(received.Done, Total, startTick, DlgDwnload, false, Resumed);
    }
    return received;
}
