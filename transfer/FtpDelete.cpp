#include "transfer/TransferRun.h"

#include "transfer/FtpLink.h"
#include "transfer/FtpRequest.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"
#include "transfer/UrlHelpers.h"

bool TTransferRun::FtpDelete(const TWebTransferItem& Item, TJobRun& Run)
{
    SetAnimationClip(acUpload);
    SetFileLine(NameFromURL(Item.URL), DlgToServerLabel, Item.FTPHost, true);
    ProcessMessages();
    const QString name = Item.TargetFilename.isEmpty() ? NameFromURL(Item.URL) : Item.TargetFilename;
    const TFtpRequest request{Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword,
                              {Item.TargetDir, name}, JoinPath(Item.TargetDir, name)};
    TFtpLink link = NewFtpLink(Run.KeepConnection, false);
    if (!ConnectFtp(link, request, true, true))
        return false;
    ProcessMessages();
    if (!Item.TargetDir.isEmpty() && Item.TargetDir != FPrevTarget) {
        FPrevTarget = Run.KeepConnection ? Item.TargetDir : QString();
        if (!SetRemoteDir(link, Item.TargetDir)) {
            // The connection is in no known directory now: it is not handed on.
            FPrevTarget.clear();
            link.KeepConnection = false;
            return false;
        }
    }
    ProcessMessages();
    if (link.Connection->deleteFile(name).ok) {
        if (OnRemovedFile)
            OnRemovedFile(this, Run.Index);
    } else if (OnRemovedFileFailed) {
        OnRemovedFileFailed(this, Run.Index);
    }
    ProcessMessages();
    return true;
}
