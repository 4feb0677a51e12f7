#include "transfer/WebTransferItem.h"

#include <algorithm>
#include <stdexcept>

void TWebTransferItem::Assign(const TWebTransferItem* Source)
{
    if (!Source || Source == this)
        return;
    Active = Source->Active;
    Authenticate = Source->Authenticate;
    CopyNewerOnly = Source->CopyNewerOnly;
    DisplayURL = Source->DisplayURL;
    FileDate = Source->FileDate;
    FTPHost = Source->FTPHost;
    FTPUserID = Source->FTPUserID;
    FTPPassword = Source->FTPPassword;
    FTPPort = Source->FTPPort;
    HTTPCommand = Source->HTTPCommand;
    Protocol = Source->Protocol;
    TargetDir = Source->TargetDir;
    TargetFilename = Source->TargetFilename;
    URL = Source->URL;
    HTTPUserID = Source->HTTPUserID;
    HTTPPassword = Source->HTTPPassword;
    ExpectedSHA256 = Source->ExpectedSHA256;
    ExpectedStart = Source->ExpectedStart;
    Resume = Source->Resume;
    Retries = Source->Retries;
    ComputeSHA256 = Source->ComputeSHA256;
    ExpectedSize = Source->ExpectedSize;
    MaxSize = Source->MaxSize;
    ResumeFromAnySource = Source->ResumeFromAnySource;
    InMemory = Source->InMemory;
}

TWebTransferItem* TWebTransferItems::Add()
{
    return FItems.emplace_back(std::make_unique<TWebTransferItem>()).get();
}

TWebTransferItem* TWebTransferItems::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw std::out_of_range("TWebTransferItems::Insert: index out of range");
    return FItems.insert(FItems.begin() + Index, std::make_unique<TWebTransferItem>())->get();
}

TWebTransferItem* TWebTransferItems::GetItem(int Index) const
{
    return FItems.at(static_cast<std::size_t>(Index)).get();
}

void TWebTransferItems::SetItem(int Index, const TWebTransferItem* Value)
{
    GetItem(Index)->Assign(Value);
}

void TWebTransferItems::Delete(int Index)
{
    GetItem(Index); // range check
    FItems.erase(FItems.begin() + Index);
}

int TWebTransferItems::ActiveItems() const
{
    return static_cast<int>(std::count_if(FItems.begin(), FItems.end(),
                                          [](const auto& item) { return item->Active; }));
}

int TWebTransferItems::SuccessCount() const
{
    return static_cast<int>(std::count_if(FItems.begin(), FItems.end(),
                                          [](const auto& item) { return item->Success(); }));
}
