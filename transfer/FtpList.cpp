#include "transfer/TransferRun.h"

#include "transfer/FileDetailItem.h"
#include "transfer/FtpLink.h"
#include "transfer/FtpRequest.h"
#include "transfer/JobRun.h"
#include "transfer/UrlHelpers.h"

#include <vector>

bool TTransferRun::FtpList(TWebTransferItem& Item, TJobRun& Run)
{
    Run.NotNewer = false;
    SetFileLine(NameFromURL(Item.URL), DlgFromServerLabel, Item.FTPHost, ShowServer);
    ProcessMessages();
    TFtpLink link = NewFtpLink(false, false);
    if (!ConnectFtp(link, {Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword, {Item.URL}, Item.URL}, false,
                    false))
        return false;
    ProcessMessages();
    const QString pattern = EnterUrlDir(link, SlashPath(Item.URL));

    std::vector<platform::FtpFindData> entries;
    if (!link.DirMissing)
        link.Connection->findFiles(pattern, entries);

    QStringList names;
    auto details = std::make_unique<TFileDetailItems>();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const platform::FtpFindData& entry = entries[i];
        names << entry.name;
        TFileDetailItem* detail = details->Add();
        detail->Filename = entry.name;
        detail->FileAttributes = entry.attributes;
        detail->FileSizeLow = static_cast<std::uint32_t>(static_cast<std::uint64_t>(entry.size) & 0xFFFFFFFFu);
        detail->FileSizeHigh = static_cast<std::uint32_t>(static_cast<std::uint64_t>(entry.size) >> 32);
        detail->FileDate = entry.lastWriteTime;
        if (i > 0)
            FUi->ShowFileLine(QString::number(i) + u' ' + entry.name);
    }
    StoreListing(Item, std::move(names), std::move(details));
    return true;
}
