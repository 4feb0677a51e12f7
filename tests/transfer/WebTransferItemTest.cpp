#include "transfer/TransferRun.h"
#include "transfer/WebTransferItem.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// The run loop is the only writer of job results; this gives the tests its hand.
class ResultWriter : public TTransferRun {
public:
    void store(TWebTransferItem& item, bool result, bool cancelled = false)
    {
        FCancelled = cancelled;
        StoreJobResult(item, result, 45000.5, true);
    }
    void list(TWebTransferItem& item)
    {
        auto details = std::make_unique<TFileDetailItems>();
        details->Add()->Filename = QStringLiteral("a.txt");
        StoreListing(item, {QStringLiteral("a.txt")}, std::move(details));
    }
};

void fillPublished(TWebTransferItem& item)
{
    item.URL = QStringLiteral("ftp://host/file");
    item.TargetDir = QStringLiteral("/tmp/dl");
    item.TargetFilename = QStringLiteral("file.bin");
    item.Protocol = wpFtpUpload;
    item.HTTPCommand = hcPut;
    item.FTPHost = QStringLiteral("host");
    item.FTPUserID = QStringLiteral("user");
    item.FTPPassword = QStringLiteral("secret");
    item.FTPPort = 2121;
    item.Active = false;
    item.CopyNewerOnly = true;
    item.FileDate = 44000.25;
    item.Authenticate = waAuto;
    item.HTTPUserID = QStringLiteral("huser");
    item.DisplayURL = QStringLiteral("shown");
    item.HTTPPassword = QStringLiteral("hpass");
    item.ExpectedSHA256 = QStringLiteral("ab12");
    item.ExpectedStart = "MZ";
    item.Resume = true;
    item.Retries = 3;
    item.ComputeSHA256 = true;
    item.ExpectedSize = 1234;
    item.MaxSize = 4321;
    item.ResumeFromAnySource = true;
    item.InMemory = true;
}

TEST(TWebTransferItem, NewItemHasTheDefaults)
{
    TWebTransferItems items;
    const TWebTransferItem* item = items.Add();
    EXPECT_TRUE(item->URL.isEmpty());
    EXPECT_TRUE(item->TargetDir.isEmpty());
    EXPECT_TRUE(item->TargetFilename.isEmpty());
    EXPECT_EQ(item->Protocol, wpHttp);
    EXPECT_EQ(item->HTTPCommand, hcPost);
    EXPECT_EQ(item->Authenticate, waNever);
    EXPECT_EQ(item->FTPPort, 21);
    EXPECT_TRUE(item->Active);
    EXPECT_FALSE(item->CopyNewerOnly);
    EXPECT_FALSE(item->Resume);
    EXPECT_EQ(item->Retries, 0);
    EXPECT_FALSE(item->ComputeSHA256);
    EXPECT_EQ(item->FileDate, 0);
    EXPECT_EQ(item->NewFileDate, 0);
    EXPECT_EQ(item->FileSize, 0);
    EXPECT_FALSE(item->Success());
    EXPECT_FALSE(item->Cancelled());
    EXPECT_FALSE(item->NoNewVersion());
    EXPECT_EQ(item->FileList(), nullptr);
    EXPECT_EQ(item->FileDetails(), nullptr);
}

TEST(TWebTransferItem, AssignCopiesThePublishedSettingsAndNothingElse)
{
    ResultWriter engine;
    TWebTransferItem& source = *engine.Items().Add();
    fillPublished(source);
    source.FileSize = 5000000000;
    engine.store(source, true);
    engine.list(source);

    TWebTransferItem& target = *engine.Items().Add();
    target.Assign(&source);

    EXPECT_EQ(target.URL, source.URL);
    EXPECT_EQ(target.TargetDir, source.TargetDir);
    EXPECT_EQ(target.TargetFilename, source.TargetFilename);
    EXPECT_EQ(target.Protocol, source.Protocol);
    EXPECT_EQ(target.HTTPCommand, source.HTTPCommand);
    EXPECT_EQ(target.FTPHost, source.FTPHost);
    EXPECT_EQ(target.FTPUserID, source.FTPUserID);
    EXPECT_EQ(target.FTPPassword, source.FTPPassword);
    EXPECT_EQ(target.FTPPort, source.FTPPort);
    EXPECT_EQ(target.Active, source.Active);
    EXPECT_EQ(target.CopyNewerOnly, source.CopyNewerOnly);
    EXPECT_EQ(target.FileDate, source.FileDate);
    EXPECT_EQ(target.Authenticate, source.Authenticate);
    EXPECT_EQ(target.HTTPUserID, source.HTTPUserID);
    EXPECT_EQ(target.DisplayURL, source.DisplayURL);
    EXPECT_EQ(target.HTTPPassword, source.HTTPPassword);
    EXPECT_EQ(target.ExpectedSHA256, source.ExpectedSHA256);
    EXPECT_EQ(target.ExpectedStart, source.ExpectedStart);
    EXPECT_EQ(target.Resume, source.Resume);
    EXPECT_EQ(target.Retries, source.Retries);
    EXPECT_EQ(target.ComputeSHA256, source.ComputeSHA256);
    EXPECT_EQ(target.ExpectedSize, source.ExpectedSize);
    EXPECT_EQ(target.MaxSize, source.MaxSize);
    EXPECT_EQ(target.ResumeFromAnySource, source.ResumeFromAnySource);
    EXPECT_EQ(target.InMemory, source.InMemory);

    EXPECT_FALSE(target.Success());
    EXPECT_FALSE(target.NoNewVersion());
    EXPECT_EQ(target.NewFileDate, 0);
    EXPECT_EQ(target.FileSize, 0);
    EXPECT_EQ(target.FileList(), nullptr);
    EXPECT_EQ(target.FileDetails(), nullptr);
}

TEST(TWebTransferItem, AssignFromNothingLeavesTheItemUnchanged)
{
    TWebTransferItems items;
    TWebTransferItem& item = *items.Add();
    fillPublished(item);
    item.Assign(nullptr);
    EXPECT_EQ(item.URL, QStringLiteral("ftp://host/file"));
    EXPECT_EQ(item.FTPPort, 2121);
}

TEST(TWebTransferItems, AddInsertAndDeleteKeepTheOrder)
{
    TWebTransferItems items;
    items.Add()->URL = QStringLiteral("a");
    items.Add()->URL = QStringLiteral("c");
    items.Insert(1)->URL = QStringLiteral("b");
    ASSERT_EQ(items.Count(), 3);
    EXPECT_EQ(items[0]->URL, QStringLiteral("a"));
    EXPECT_EQ(items.Items(1)->URL, QStringLiteral("b"));
    EXPECT_EQ(items.GetItem(2)->URL, QStringLiteral("c"));

    items.Delete(0);
    EXPECT_EQ(items[0]->URL, QStringLiteral("b"));
    items.Clear();
    EXPECT_EQ(items.Count(), 0);
}

TEST(TWebTransferItems, SetItemAssignsIntoTheExistingJob)
{
    TWebTransferItems items;
    TWebTransferItem* existing = items.Add();
    TWebTransferItems others;
    TWebTransferItem* value = others.Add();
    fillPublished(*value);

    items.SetItem(0, value);
    EXPECT_EQ(items[0], existing);
    EXPECT_EQ(existing->URL, value->URL);
}

TEST(TWebTransferItems, BadIndexesAreProgrammingErrors)
{
    TWebTransferItems items;
    items.Add();
    EXPECT_THROW(items.GetItem(1), std::out_of_range);
    EXPECT_THROW(items.GetItem(-1), std::out_of_range);
    EXPECT_THROW(items.Insert(2), std::out_of_range);
    EXPECT_THROW(items.Delete(5), std::out_of_range);
    EXPECT_NO_THROW(items.Insert(1));
}

TEST(TWebTransferItems, ActiveItemsCountsEveryProtocol)
{
    TWebTransferItems items;
    items.Add()->Protocol = wpFile;
    TWebTransferItem* inactive = items.Add();
    inactive->Protocol = wpHttp;
    inactive->Active = false;
    EXPECT_EQ(items.ActiveItems(), 1);
}

TEST(TWebTransferItems, SuccessCountCountsKeptResults)
{
    ResultWriter engine;
    TWebTransferItems& items = engine.Items();
    for (int i = 0; i < 4; ++i)
        engine.store(*items.Add(), true);
    EXPECT_EQ(items.SuccessCount(), 4);

    // A later run cancelled during job 2: jobs 3 and 4 keep their earlier success.
    engine.store(*items[0], true);
    engine.store(*items[1], true, /*cancelled=*/true);
    EXPECT_FALSE(items[1]->Success());
    EXPECT_TRUE(items[1]->Cancelled());
    EXPECT_EQ(items.SuccessCount(), 3);
}

TEST(TWebTransferItem, ListingReplacesBothLists)
{
    ResultWriter engine;
    TWebTransferItem& item = *engine.Items().Add();
    engine.list(item);
    ASSERT_NE(item.FileList(), nullptr);
    ASSERT_NE(item.FileDetails(), nullptr);
    EXPECT_EQ(item.FileList()->size(), item.FileDetails()->Count());
    EXPECT_EQ(item.FileDetails()->GetItem(0)->Filename, QStringLiteral("a.txt"));
}

TEST(TFileDetailItem, SizeJoinsBothHalves)
{
    TFileDetailItems details;
    TFileDetailItem* entry = details.Add();
    entry->FileSizeHigh = 1;
    entry->FileSizeLow = 7;
    entry->FileAttributes = TFileDetailItem::DirectoryAttribute;
    EXPECT_EQ(entry->FileSize(), (std::int64_t(1) << 32) + 7);
    EXPECT_TRUE(entry->IsDirectory());
    details.Insert(0)->Filename = QStringLiteral("first");
    EXPECT_EQ(details[0]->Filename, QStringLiteral("first"));
    EXPECT_THROW(details.GetItem(2), std::out_of_range);
}

} // namespace
