#include "transfer/WebTransfer.h"

#include "transfer/FtpLink.h"
#include "transfer/UrlHelpers.h"

bool TWebTransfer::FtpDelete(int Index, const TWebTransferItem& Item, bool KeepConnection)
{
    SetAnimationClip(acUpload);
    SetFileLine(NameFromURL(Item.URL), DlgToServerLabel, Item.FTPHost, true);
    ProcessMessages();
    TFtpLink link;
    if (!ConnectFtp(link, true, KeepConnection, Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword, true))
        return false;
    ProcessMessages();
    if (!Item.TargetDir.isEmpty() && Item.TargetDir != FPrevTarget) {
        FPrevTarget = KeepConnection ? Item.TargetDir : QString();
        if (!SetRemoteDir(link, Item.TargetDir)) {
            // The connection is in no known directory now: it is not handed on.
            FPrevTarget.clear();
            ReleaseFtp(link, false, false);
            return false;
        }
    }
    ProcessMessages();
    const QString name = Item.TargetFilename.isEmpty() ? NameFromURL(Item.URL) : Item.TargetFilename;
    if (link.Connection->deleteFile(name).ok) {
        if (OnRemovedFile)
            OnRemovedFile(this, Index);
    } else if (OnRemovedFileFailed) {
        OnRemovedFileFailed(this, Index);
    }
    ProcessMessages();
    ReleaseFtp(link, KeepConnection, false);
    return true;
}
