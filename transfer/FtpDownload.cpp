#include "transfer/TransferRun.h"

#include "platform/files/LocalFiles.h"
#include "platform/system/TickCount.h"
#include "transfer/DateConversions.h"
#include "transfer/DownloadSize.h"
#include "transfer/DownloadTarget.h"
#include "transfer/FtpLink.h"
#include "transfer/FtpRequest.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"
#include "transfer/UrlHelpers.h"

#include <vector>

bool TTransferRun::FtpDownload(const TWebTransferItem& Item, TJobRun& Run, const TJobFile* File)
{
    const QString& URL = File ? File->URL : Item.URL;
    const QString& TargetFilename = File ? File->TargetFilename : Item.TargetFilename;
    const QString& TargetDir = Item.TargetDir;
    Run.NotNewer = false;
    // A file of a multi-file job has its line written by that job.
    if (!File) {
        SetFileLine(NameFromURL(URL), DlgFromServerLabel, Item.FTPHost, ShowServer);
        ProcessMessages();
    }
    const QString localName = TargetFilename.isEmpty() ? NameFromURL(URL) : TargetFilename;
    TFtpLink link = NewFtpLink(Run.KeepConnection, true);
    if (!ConnectFtp(link, {Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword, {URL},
                           JoinPath(TargetDir, localName)},
                    true, false))
        return false;
    ProcessMessages();
    const QString name = EnterUrlDir(link, URL);

    std::vector<platform::FtpFindData> found;
    const bool listed = !link.DirMissing && !name.isEmpty() && link.Connection->findFiles(name, found).ok;
    const bool exists = listed && !found.empty();
    std::int64_t remoteSize = exists ? found.front().size : 0;
    if (exists && (Item.CopyNewerOnly || OnFileDateCheck)
        && !DateTestAllows(Run, FileTimeToDate(found.front().lastWriteTime), name, true))
        return false;

    ProcessMessages();
    std::unique_ptr<platform::InternetRequest> remote;
    if (exists) {
        remote = link.Connection->openForReading(name, FTPMode == fmASCII).handle;
        if (remote && remoteSize == 0)
            remoteSize = std::max<std::int64_t>(link.Connection->lastOpenedSize(), 0);
    }
    ProcessMessages();
    if (!remote) {
        // A Cancel during the wait ends the job like a Cancel between blocks.
        if (!FCancelled)
            ReportURLNotFound(URL);
        return false;
    }

    QString path = JoinPath(TargetDir, localName);
    FLastFile = path;
    FLastDir = TargetDir;
    // A name from the server must stay inside the target directory.
    if (TargetFilename.isEmpty() && !IsPlainFileName(localName)) {
        ReportError(weTargetCreate, path);
        return false;
    }
    if (!PlaceTarget(path, WebTransferErrorPrefix(weTargetCreate)))
        return false;
    if (!CheckRoom(path, remoteSize))
        return false;
    TDownloadTarget file;
    file.Expect(Item.ExpectedSHA256, Item.ExpectedStart, Item.ComputeSHA256);
    if (!OpenTarget(file, path)) {
        ReportError(weTargetCreate, path);
        return false;
    }

    const TReceived received = Receive(*remote, file, remoteSize, TDownloadSize{});
    // The connection goes back (and back to its directory) before the cancel flag is read: a
    // Cancel clicked meanwhile still counts.
    remote.reset();
    link.Release();

    if (FCancelled) {
        file.Discard();
        return false;
    }
    // In ASCII mode line ends change on the way, so only a binary size can be compared.
    const bool cutShort = FTPMode == fmBINARY && remoteSize > 0 && received.Done < remoteSize;
    return FinishDownload(file, Run, received.WriteFailed, received.Interrupted || cutShort, path,
                          WebTransferErrorPrefix(weTargetCreate));
}
