#include "tests/support/CaseName.h"

#include "tests/support/DownloadFixture.h"

#include "transfer/DateConversions.h"

#include <QDateTime>
#include <QFile>

#include <ostream>

namespace {

class HttpDownload : public DownloadFixture {
protected:
    void SetUp() override
    {
        served.write(QStringLiteral("files/setup.exe"), patternedBytes(10000));
        served.write(QStringLiteral("files/setup-1.2.exe"), patternedBytes(5000));
        served.write(QStringLiteral("files/my file.txt"), QByteArray("spaced"));
        ASSERT_TRUE(nginx.isRunning());
    }

    NginxServer nginx{served.path(), QStringLiteral("location = /latest { return 302 /files/setup-1.2.exe; }")};
};

TEST_F(HttpDownload, PlainJobStoresTheBodyUnderTheUrlsName)
{
    run.ShowCompletion = true;
    TWebTransferItem* job = addJob(nginx.url(QStringLiteral("/files/setup.exe")));
    QString fileLine, sizeLine, caption;
    int bar = -1;
    run.OnFileDone = [&](TTransferRun*, int) {
        fileLine = ui.fileLine;
        sizeLine = ui.sizeLine;
        caption = ui.caption;
        bar = ui.bar;
    };

    run.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_FALSE(job->Cancelled());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(10000));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("CopyDone")}));
    EXPECT_EQ(fileLine, QStringLiteral("File : setup.exe from 127.0.0.1:%1").arg(nginx.port()));
    EXPECT_EQ(sizeLine, QStringLiteral("Progress : 10.00 Kb of 10.00 Kb"));
    EXPECT_EQ(caption, QStringLiteral("Downloading : 100% completed"));
    EXPECT_EQ(bar, 100);
    ASSERT_FALSE(events.progress.empty());
    std::int64_t previous = 0;
    for (const auto& step : events.progress) {
        EXPECT_EQ(step.fileIndex, 1);
        EXPECT_EQ(step.total, 10000);
        EXPECT_LE(step.size - previous, 4096);
        previous = step.size;
    }
    EXPECT_EQ(previous, 10000);
}

TEST_F(HttpDownload, ReplacesAnExistingFileAndLeavesNoTemporaryFile)
{
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob(nginx.url(QStringLiteral("/files/setup.exe")));
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(10000));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

TEST_F(HttpDownload, RedirectedRequestIsNamedAfterTheRequestedUrl)
{
    TWebTransferItem* job = addJob(nginx.url(QStringLiteral("/latest")));
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("latest")});
    EXPECT_EQ(target.read(QStringLiteral("latest")), patternedBytes(5000));
}

TEST_F(HttpDownload, TargetFilenameNamesTheFileAndMissingDirectoriesAreMade)
{
    TWebTransferItem* job = addJob(nginx.url(QStringLiteral("/latest")), target.filePath(QStringLiteral("a/b")));
    job->TargetFilename = QStringLiteral("chosen.bin");
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("a/b/chosen.bin")), patternedBytes(5000));
}

struct DecodeCase {
    const char* name;
    bool autoDecode;
    const char* stored;
};

class HttpDownloadDecode : public HttpDownload, public testing::WithParamInterface<DecodeCase> {};

TEST_P(HttpDownloadDecode, NameIsDecodedOnlyWhenAsked)
{
    run.AutoURLDecode = GetParam().autoDecode;
    addJob(nginx.url(QStringLiteral("/files/my%20file.txt")));
    run.Execute();
    EXPECT_EQ(target.read(QString::fromUtf8(GetParam().stored)), QByteArray("spaced"));
}

INSTANTIATE_TEST_SUITE_P(Names, HttpDownloadDecode,
                         testing::Values(DecodeCase{"Decoded", true, "my file.txt"},
                                         DecodeCase{"Kept", false, "my%20file.txt"}),
                         caseName);

TEST_F(HttpDownload, UniqueFilenamesKeepTheExistingFile)
{
    run.CreateUniqueFilenames = true;
    target.write(QStringLiteral("setup.exe"), "old");
    target.write(QStringLiteral("setup(1).exe"), "older");
    QString asked;
    run.OnCopyOverWrite = [&](TTransferRun*, const QString& file, bool&) { asked = file; };
    TWebTransferItem* job = addJob(nginx.url(QStringLiteral("/files/setup.exe")));
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(asked, target.filePath(QStringLiteral("setup.exe")));
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(target.read(QStringLiteral("setup(1).exe")), QByteArray("older"));
    EXPECT_EQ(target.read(QStringLiteral("setup(2).exe")), patternedBytes(10000));
}

TEST_F(HttpDownload, RefusedOverwriteKeepsTheFileAndReportsNothing)
{
    target.write(QStringLiteral("setup.exe"), "old");
    run.OnCopyOverWrite = [](TTransferRun*, const QString&, bool& allow) { allow = false; };
    TWebTransferItem* job = addJob(nginx.url(QStringLiteral("/files/setup.exe")));
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_TRUE(events.only(QStringLiteral("Error")).isEmpty());
}

class HttpDownloadDates : public HttpDownload {
protected:
    void SetUp() override
    {
        HttpDownload::SetUp();
        QFile file(served.filePath(QStringLiteral("files/setup.exe")));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(serverTime, QFileDevice::FileModificationTime));
    }

    const QDateTime serverTime{QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC};
    const TDateTime serverDate = DateTimeFromQDateTime(serverTime);
};

TEST_F(HttpDownloadDates, SourceNotNewerIsSkippedWithTheServersDate)
{
    TWebTransferItem* job = addJob(nginx.url(QStringLiteral("/files/setup.exe")));
    job->CopyNewerOnly = true;
    job->FileDate = serverDate + 1;
    QStringList found;
    run.OnNoNewFileFound = [&](TTransferRun*, const QString& file, TDateTime cur, TDateTime found_) {
        found << file;
        EXPECT_DOUBLE_EQ(cur, serverDate);
        EXPECT_DOUBLE_EQ(found_, serverDate);
    };
    run.Execute();
    EXPECT_EQ(found, QStringList{QStringLiteral("setup.exe")});
    EXPECT_TRUE(job->NoNewVersion());
    EXPECT_FALSE(job->Success());
    EXPECT_DOUBLE_EQ(job->NewFileDate, serverDate);
    EXPECT_TRUE(targetEntries().isEmpty());
}

TEST_F(HttpDownloadDates, NewerSourceIsFetchedAndItsDateKept)
{
    TWebTransferItem* job = addJob(nginx.url(QStringLiteral("/files/setup.exe")));
    job->CopyNewerOnly = true;
    job->FileDate = serverDate - 1;
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_FALSE(job->NoNewVersion());
    EXPECT_DOUBLE_EQ(job->NewFileDate, serverDate);
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(10000));
}

TEST_F(HttpDownloadDates, DateCheckHandlerDecidesInsteadOfTheBuiltInTest)
{
    TWebTransferItem* job = addJob(nginx.url(QStringLiteral("/files/setup.exe")));
    job->CopyNewerOnly = true;
    job->FileDate = serverDate + 1; // the built-in test would skip it
    TDateTime seen = 0;
    run.OnFileDateCheck = [&](TTransferRun*, int idx, TDateTime date, bool& allow) {
        EXPECT_EQ(idx, 0);
        seen = date;
        allow = true;
    };
    run.Execute();
    EXPECT_DOUBLE_EQ(seen, serverDate);
    EXPECT_TRUE(job->Success());
    EXPECT_FALSE(job->NoNewVersion());
}

struct AddressCase {
    const char* name;
    const char* path; // as the job writes it, UTF-8
    bool autoDecode;
    const char* requested;
    const char* stored; // UTF-8
    friend void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }
};

class HttpDownloadAddress : public DownloadFixture, public testing::WithParamInterface<AddressCase> {
protected:
    ScriptedHttpServer server;
};

TEST_P(HttpDownloadAddress, IsRequestedEscapedAndSavedUnderItsOwnName)
{
    ASSERT_TRUE(server.isRunning());
    run.AutoURLDecode = GetParam().autoDecode;
    TWebTransferItem* job = addJob(server.url(QString::fromUtf8(GetParam().path)));
    run.Execute();
    EXPECT_TRUE(job->Success()) << events.log.join(u'|').toStdString();
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].target, QString::fromLatin1(GetParam().requested));
    const QString stored = QString::fromUtf8(GetParam().stored);
    EXPECT_EQ(targetEntries(), QStringList{stored});
    EXPECT_EQ(target.read(stored), patternedBytes(1000));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, HttpDownloadAddress,
    testing::Values(AddressCase{"Blank", "/file/my file.txt", false, "/file/my%20file.txt", "my file.txt"},
                    AddressCase{"BlankDecoded", "/file/my file.txt", true, "/file/my%20file.txt", "my file.txt"},
                    AddressCase{"Bar", "/file/a|b.txt", false, "/file/a%7Cb.txt", "a|b.txt"},
                    AddressCase{"BeyondAscii", "/file/caf\xc3\xa9.txt", false, "/file/caf%C3%A9.txt", "caf\xc3\xa9.txt"},
                    AddressCase{"EscapeKept", "/file/%41b.txt", false, "/file/%41b.txt", "%41b.txt"},
                    AddressCase{"EscapeKeptAndDecoded", "/file/%41b.txt", true, "/file/%41b.txt", "Ab.txt"}),
    caseName);

struct LengthCase {
    const char* name;
    std::int64_t fileSize;
    std::int64_t total;
    const char* sizeLine;
};

class HttpDownloadWithoutLength : public DownloadFixture, public testing::WithParamInterface<LengthCase> {
protected:
    ScriptedHttpServer server;
};

TEST_P(HttpDownloadWithoutLength, TotalComesFromTheJobOrStaysUnknown)
{
    ASSERT_TRUE(server.isRunning());
    run.ShowCompletion = true;
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/nolength/data.bin?size=10000")));
    job->TargetFilename = QStringLiteral("data.bin");
    job->FileSize = GetParam().fileSize;
    bool marquee = false;
    QString sizeLine, caption;
    run.OnFileDone = [&](TTransferRun*, int) {
        marquee = ui.marquee;
        sizeLine = ui.sizeLine;
        caption = ui.caption;
    };
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("data.bin")), patternedBytes(10000));
    ASSERT_FALSE(events.progress.empty());
    EXPECT_EQ(events.progress.back().total, GetParam().total);
    EXPECT_EQ(marquee, GetParam().total == 0);
    EXPECT_EQ(sizeLine, QString::fromUtf8(GetParam().sizeLine));
    EXPECT_EQ(caption, GetParam().total == 0 ? QStringLiteral("Downloading : 0% completed")
                                             : QStringLiteral("Downloading : 50% completed"));
}

INSTANTIATE_TEST_SUITE_P(
    Totals, HttpDownloadWithoutLength,
    testing::Values(LengthCase{"Unknown", 0, 0, "Progress : 10.00 Kb"},
                    LengthCase{"FromJob", 20000, 20000, "Progress : 10.00 Kb of 20.00 Kb"}),
    caseName);

} // namespace
