#include "transfer/WebTransfer.h"

#include "transfer/FtpLink.h"

bool TWebTransfer::FtpTest(const TWebTransferItem& Item)
{
    SetAnimationClip(acUpload);
    ProcessMessages();
    TFtpLink link;
    if (!ConnectFtp(link, true, false, Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword, true))
        return false;
    ReleaseFtp(link, false, false);
    return true;
}
