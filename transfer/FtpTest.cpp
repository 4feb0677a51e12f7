#include "transfer/TransferRun.h"

#include "transfer/FtpLink.h"
#include "transfer/FtpRequest.h"

bool TTransferRun::FtpTest(const TWebTransferItem& Item, TJobRun& /*Run*/)
{
    SetAnimationClip(acUpload);
    ProcessMessages();
    TFtpLink link = NewFtpLink(false, false);
    return ConnectFtp(link, {Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword, {}, {}}, true, true);
}
