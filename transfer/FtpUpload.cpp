#include "transfer/TransferRun.h"

#include "platform/files/LocalFiles.h"
#include "transfer/DateConversions.h"
#include "transfer/FtpLink.h"
#include "transfer/FtpRequest.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"
#include "transfer/UrlHelpers.h"

#include <QFile>

#include <vector>

bool TTransferRun::FtpUpload(const TWebTransferItem& Item, TJobRun& Run, const TJobFile* File)
{
    const QString& URL = File ? File->URL : Item.URL;
    const QString& TargetFilename = File ? File->TargetFilename : Item.TargetFilename;
    const QString& TargetDir = Item.TargetDir;
    const QString& FTPHost = Item.FTPHost;
    WriteLog(QStringLiteral("start ftp upload"));
    Run.NotNewer = false;
    SetAnimationClip(acUpload);
    SetFileLine(NameFromURL(URL), DlgToServerLabel, FTPHost, true);
    ProcessMessages();

    const QString remoteName = TargetFilename.isEmpty() ? NameFromURL(URL) : TargetFilename;
    TFtpLink link = NewFtpLink(Run.KeepConnection, false);
    const TFtpRequest request{FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword, {TargetDir, remoteName},
                              JoinPath(TargetDir, remoteName)};
    if (!ConnectFtp(link, request, true, true))
        return false;
    WriteLog(QStringLiteral("connected to server:") + FTPHost);
    ProcessMessages();

    if (!TargetDir.isEmpty() && TargetDir != FPrevTarget) {
        FPrevTarget = Run.KeepConnection ? TargetDir : QString();
        if (!SetRemoteDir(link, TargetDir) && !EnterRemoteDir(link, TargetDir)) {
            // Part of the path may have been entered: the connection is in no known place.
            link.KeepConnection = false;
            return false;
        }
    }
    ProcessMessages();

    bool upload = true;
    if (Item.CopyNewerOnly || OnFileDateCheck) {
        std::vector<platform::FtpFindData> found;
        if (link.Connection->findFiles(remoteName, found).ok && !found.empty()) {
            bool allow = true;
            if (OnCopyOverWrite)
                OnCopyOverWrite(this, remoteName, allow);
            if (!allow) {
                upload = false;
            } else {
                const TDateTime remoteDate = FileTimeToDate(found.front().lastWriteTime);
                if (OnFileDateCheck) {
                    OnFileDateCheck(this, Run.Index, remoteDate, allow);
                    Run.DateSlot = remoteDate;
                    upload = allow;
                } else if (remoteDate <= Run.DateSlot) {
                    Run.DateSlot = remoteDate;
                } else {
                    Run.DateSlot = remoteDate;
                    Run.NotNewer = true;
                    if (OnNoNewFileFound)
                        OnNoNewFileFound(this, remoteName, remoteDate, Run.DateSlot);
                    upload = false;
                }
            }
        }
    }

    // A cancel asked for by now leaves the server untouched: no file is made there, and the
    // connection is handed on to nobody.
    if (FCancelled) {
        link.KeepConnection = false;
        return false;
    }
    bool result = false;
    if (upload) {
        // The source is opened before the remote file is created, so a missing source never
        // leaves an empty file on the server.
        // A pipe or device is refused unopened: opening a pipe waits for a writer, a device
        // may never end.
        QFile source;
        const platform::SourceOpen opened = platform::openRegularFile(source, URL);
        if (opened != platform::SourceOpen::Opened) {
            ReportURLNotFound(URL);
            ReportError(opened == platform::SourceOpen::NotRegular ? weSourceSize : weSourceOpen,
                        WebTransferErrorPrefix(weSourceOpen), URL);
            return false;
        }
        std::unique_ptr<platform::InternetUpload> remote =
            link.Connection->openForWriting(remoteName, FTPMode == fmASCII).handle;
        if (!remote) {
            // A cancelled upload hands its connection on to nobody.
            if (FCancelled)
                link.KeepConnection = false;
            if (!FCancelled)
                ReportURLNotFound(URL);
            return false;
        }
        ProcessMessages();
        FLastFile = URL;
        FLastDir = TargetDir;

        const std::int64_t size = LocalFileSize(URL);
        WriteLog(QStringLiteral("start to upload file:") + URL);
        WriteLog(QStringLiteral("filesize:") + QString::number(size));
        const TSent sent = Send(source, *remote, size, true, false);
        const bool readFailed = sent.ReadFailed;
        bool sendFailed = sent.SendFailed;
        source.close();
        // The server has the whole file only once it confirmed the end of the transfer.
        if (!FCancelled && !readFailed && !sendFailed && !remote->finish().ok)
            sendFailed = !FCancelled;
        remote.reset();
        WriteLog(QStringLiteral("done upload:") + QString::number(sent.Done));
        if (readFailed)
            ReportError(weSourceRead, URL);
        else if (sendFailed)
            ReportError(weInterrupted, remoteName);
        result = !readFailed && !sendFailed;
    }

    if (FCancelled)
        link.KeepConnection = false;
    link.Release();
    WriteLog(QStringLiteral("done ftp upload"));
    return result;
}
