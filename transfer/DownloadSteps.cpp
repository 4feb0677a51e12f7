#include "transfer/TransferRun.h"

#include "platform/network/InternetRequest.h"
#include "platform/files/LocalFiles.h"
#include "platform/system/TickCount.h"
#include "transfer/DownloadSize.h"
#include "transfer/DownloadTarget.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"

#include <vector>

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
    const auto read = [&Source](char* Buffer, std::int64_t Max, std::int64_t& Got) {
        return Source.read(Buffer, Max, Got);
    };
    return ReceiveBlocks(read, File, {.Total = Total, .Resumed = Resumed, .Word = DlgDwnload}, Sizes);
}

TTransferRun::TReceived TTransferRun::ReceiveBlocks(const TBlockSource& Read, TDownloadTarget& File,
                                                   const TReceiving& Shown, const TDownloadSize& Sizes)
{
    TReceived received;
    received.Done = Shown.Resumed;
    const std::uint32_t startTick = platform::tickCount();
    std::int64_t blockLength = Shown.Block;
    std::vector<char> buffer(static_cast<std::size_t>(Shown.Block));
    while (blockLength > 0 && !FCancelled) {
        KeepResponsive();
        // Never more than one byte past the size the file may have: that byte shows the body
        // is too long, and the rest of an endless one is never read.
        const platform::InternetResult got = Read(buffer.data(), Sizes.NextRead(received.Done, Shown.Block), blockLength);
        if (!got.ok) {
            received.Interrupted = true;
            received.Failure = got;
            break;
        }
        if (blockLength > 0 && !File.Write(buffer.data(), blockLength)) {
            received.WriteFailed = true;
            break;
        }
        received.Done += blockLength;
        ShowProgress(received.Done, Shown.Total, startTick, Shown.Word, Shown.CopyMode, Shown.Resumed);
    }
    return received;
}
