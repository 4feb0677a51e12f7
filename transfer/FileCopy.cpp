#include "transfer/TransferRun.h"

#include "platform/files/FileIdentity.h"
#include "platform/files/LocalFiles.h"
#include "platform/network/ShareConnection.h"
#include "transfer/DateConversions.h"
#include "transfer/DownloadTarget.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"
#include "transfer/UrlHelpers.h"

#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

constexpr std::int64_t CopyBlockSize = 32768;

// The file a copy reads: on the local disk or on a connected share.
class CopySource {
public:
    virtual ~CopySource() = default;
    virtual std::int64_t Read(char* Data, std::int64_t MaxSize) = 0; // -1 on failure
    virtual std::int64_t Size() = 0;                                  // -1 when unknown
    virtual QDateTime LastWriteTime() = 0;                            // local time
};

class LocalSource : public CopySource {
public:
    explicit LocalSource(const QString& Path) : FPath(Path) {}
    bool Open()
    {
        const platform::SourceOpen opened = platform::openRegularFile(FFile, FPath);
        // A pipe or device is never opened; it has no size to copy, which is reported later.
        FSpecial = opened == platform::SourceOpen::NotRegular;
        return opened != platform::SourceOpen::Failed;
    }
    std::int64_t Read(char* Data, std::int64_t MaxSize) override { return FFile.read(Data, MaxSize); }
    std::int64_t Size() override { return FSpecial ? -1 : FFile.size(); }
    QDateTime LastWriteTime() override { return QFileInfo(FPath).lastModified(); }

private:
    QString FPath;
    QFile FFile;
    bool FSpecial = false;
};

class ShareSource : public CopySource {
public:
    explicit ShareSource(std::unique_ptr<platform::ShareFile> File) : FFile(std::move(File)) {}
    std::int64_t Read(char* Data, std::int64_t MaxSize) override { return FFile->read(Data, MaxSize); }
    std::int64_t Size() override { return FFile->size(); }
    QDateTime LastWriteTime() override { return FFile->lastWriteTime().toLocalTime(); }

private:
    std::unique_ptr<platform::ShareFile> FFile;
};

} // namespace

bool TTransferRun::FileCopy(const TWebTransferItem& Item, TJobRun& Run)
{
    // A file copy connects a network share with the job's FTP host and login (FTPPort is not used).
    const QString& FTPHost = Item.FTPHost;
    const QString& URL = Item.URL;
    const QString& TargetDir = Item.TargetDir;
    Run.NotNewer = false;
    SetAnimationClip(acFileCopy);
    const bool viaShare = !FTPHost.isEmpty();
    SetFileLine(NameFromURL(URL), DlgFromServerLabel, viaShare ? FTPHost : DirectoryPart(URL), true);

    platform::ShareConnection share;
    bool result = false;
    const auto finish = [&] {
        if (viaShare && !share.disconnect().ok) {
            if (OnConnectError)
                OnConnectError(this);
            result = false;
        }
        return result;
    };

    if (viaShare && !share.connect(FTPHost, Item.FTPUserID, Item.FTPPassword).ok) {
        if (OnConnectError)
            OnConnectError(this);
        return finish();
    }

    QString source = viaShare ? FTPHost + u'\\' + URL : URL;
    if (source.startsWith(QStringLiteral("FILE://"), Qt::CaseInsensitive))
        source.remove(0, 7);

    const QString name = Item.TargetFilename.isEmpty() ? NameFromURL(URL) : Item.TargetFilename;
    QString target = JoinPath(TargetDir, name);
    FLastFile = target;
    FLastDir = TargetDir;
    // A name taken from the source must stay a plain name inside the target directory.
    if (Item.TargetFilename.isEmpty() && !IsPlainFileName(name)) {
        ReportError(weTargetCreate, target);
        return finish();
    }

    // The same file under another spelling would be truncated before it is read.
    if (source == target || (!viaShare && platform::isSameFile(source, target))) {
        ReportError(weIdenticalFiles, source);
        return finish();
    }

    std::unique_ptr<CopySource> input;
    if (viaShare) {
        if (auto file = share.openRead(URL).handle)
            input = std::make_unique<ShareSource>(std::move(file));
    } else {
        auto local = std::make_unique<LocalSource>(source);
        if (local->Open())
            input = std::move(local);
    }
    if (!input) {
        ReportError(weSourceOpen, source);
        return finish();
    }

    if ((Item.CopyNewerOnly || OnFileDateCheck)
        && !DateTestAllows(Run, DateTimeFromQDateTime(input->LastWriteTime()), source, false))
        return finish();

    const std::int64_t size = input->Size();
    if (size < 0) {
        ReportError(weSourceSize, source);
        return finish();
    }

    if (!PlaceTarget(target, WebTransferErrorPrefix(weTargetCreate)))
        return finish();
    if (!CheckRoom(target, size))
        return finish();
    // The copy replaces the target only once it is whole: a full disk, a failed read, a
    // cancel or a crash leaves the old file as it was.
    TDownloadTarget output;
    output.Expect(Item.ExpectedSHA256, Item.ExpectedStart, Item.ComputeSHA256);
    if (!OpenTarget(output, target)) {
        ReportError(weTargetCreate, target);
        return finish();
    }

    const auto read = [&input](char* Buffer, std::int64_t Max, std::int64_t& Got) {
        Got = input->Read(Buffer, Max);
        return Got < 0 ? platform::InternetResult::failure(0, {}) : platform::InternetResult::success();
    };
    const TReceived copied =
        ReceiveBlocks(read, output, {.Total = size, .Block = CopyBlockSize, .Word = DlgCopying, .CopyMode = true}, {});
    if (copied.Interrupted || copied.WriteFailed) {
        output.Discard();
        if (copied.Interrupted)
            ReportError(weSourceRead, source);
        else
            ReportError(weTargetWrite, target);
        return finish();
    }

    // A cancelled copy is dropped with output; the old file stays.
    if (!FCancelled && !FinishDownload(output, Run, false, false, target, WebTransferErrorPrefix(weTargetCreate)))
        return finish();
    result = true;
    return finish();
}
