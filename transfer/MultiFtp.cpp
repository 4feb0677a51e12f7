#include "transfer/TransferRun.h"

#include "platform/files/LocalFiles.h"
#include "transfer/FtpLink.h"
#include "transfer/FtpRequest.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"
#include "transfer/UrlHelpers.h"

#include <QDir>

#include <vector>

bool TTransferRun::MultiFtpDownload(const TWebTransferItem& Item, TJobRun& Run)
{
    Run.NotNewer = false;
    SetFileLine(NameFromURL(Item.URL), DlgFromServerLabel, Item.FTPHost, ShowServer);
    ProcessMessages();
    // The connection is kept: every file reuses it, and so may the next job.
    TFtpLink link = NewFtpLink(true, true);
    if (!ConnectFtp(link, {Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword, {Item.URL},
                           JoinPath(Item.TargetDir, NameFromURL(Item.URL))},
                    false, false))
        return false;
    ProcessMessages();
    const QString pattern = EnterUrlDir(link, SlashPath(Item.URL));

    std::vector<platform::FtpFindData> entries;
    if (!link.DirMissing)
        link.Connection->findFiles(pattern, entries);
    QStringList names;
    for (const platform::FtpFindData& entry : entries)
        names << entry.name;

    const int count = static_cast<int>(names.size());
    for (int i = 0; i < count && !FCancelled; ++i) {
        const QString& name = names[i];
        QString line = QString::number(i + 1) + u' ' + DlgFileOfLabel + u' ' + QString::number(count) + QStringLiteral(" : ");
        line = DlgFileLabel + u' ' + line + name;
        if (ShowServer)
            line += u' ' + DlgFromServerLabel + u' ' + Item.FTPHost;
        ShowFileLine(line);
        // A listed name is written into the target directory only when it cannot lead out of it.
        if (!IsPlainFileName(name)) {
            ReportError(weTargetCreate, JoinPath(Item.TargetDir, name));
        } else {
            // Each file is tested against the job's date and keeps the connection; what the
            // date test of the last file said is what the job reports.
            TJobRun fileRun{.Index = i, .DateSlot = Run.DateSlot, .NotNewer = Run.NotNewer, .KeepConnection = true};
            const TJobFile file{name, name};
            FtpDownload(Item, fileRun, &file);
            Run.NotNewer = fileRun.NotNewer;
            // The job's digest is that of the last file it put in place.
            if (!fileRun.SHA256.isEmpty())
                Run.SHA256 = fileRun.SHA256;
        }
        if (OnMultiFTPFileDone)
            OnMultiFTPFileDone(this, name);
    }
    return true;
}

bool TTransferRun::MultiFtpUpload(const TWebTransferItem& Item, TJobRun& Run)
{
    const bool KeepConnection = Run.KeepConnection;
    Run.NotNewer = false;
    SetAnimationClip(acUpload);
    SetFileLine(NameFromURL(Item.URL), DlgToServerLabel, Item.FTPHost, true);
    ProcessMessages();
    FPrevTarget.clear();
    TFtpLink link = NewFtpLink(KeepConnection, false);
    if (!ConnectFtp(link, {Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword, {Item.TargetDir},
                           JoinPath(Item.TargetDir, NameFromURL(Item.URL))},
                    false, false))
        return false;
    // The files' uploads hand the connection on among themselves; the job closes it.
    link.KeepConnection = false;
    ProcessMessages();
    if (KeepConnection)
        FPrevTarget = Item.TargetDir;
    if (!SetRemoteDir(link, Item.TargetDir) && !EnterRemoteDir(link, Item.TargetDir))
        return false;
    ProcessMessages();

    const QString directory = DirectoryPart(Item.URL);
    const QString pattern = NameFromURL(Item.URL);
    const QStringList entries = QDir(directory.isEmpty() ? QStringLiteral(".") : directory)
                                    .entryList({pattern}, QDir::AllEntries | QDir::Hidden | QDir::System
                                                              | QDir::NoDotAndDotDot,
                                               QDir::Unsorted);
    for (const QString& name : entries) {
        if (FCancelled)
            break;
        // A pipe or device is passed over: it would block or never end. A directory still
        // gets its turn and fails there like a file that cannot be opened.
        if (platform::fileKind(JoinPath(directory, name)) == platform::FileKind::Special)
            continue;
        // The files share the job's date slot, one after the other, and the connection.
        TJobRun fileRun = Run;
        fileRun.KeepConnection = true;
        const TJobFile file{JoinPath(directory, name), name};
        FtpUpload(Item, fileRun, &file);
        Run.DateSlot = fileRun.DateSlot;
        Run.NotNewer = fileRun.NotNewer;
        if (OnMultiFTPFileDone)
            OnMultiFTPFileDone(this, name);
    }
    return true;
}
