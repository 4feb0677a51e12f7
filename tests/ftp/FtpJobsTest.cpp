#include "tests/support/FtpFixture.h"

#include "transfer/FileDetailItem.h"

#include <QFileInfo>

namespace {

using FtpJobs = FtpFixture;

TEST_F(FtpJobs, ListingKeepsTheMatchesInServerOrder)
{
    writeFile(remote(QStringLiteral("zips/a.zip")), "a");
    writeFile(remote(QStringLiteral("zips/b.zip")), "bb");
    writeFile(remote(QStringLiteral("zips/c.zip")), patternedBytes(5000, PrimePattern));
    writeFile(remote(QStringLiteral("zips/readme.txt")), "r");
    TWebTransferItem* list = addJob(wpFtpList, QStringLiteral("/zips/*.zip"));
    TWebTransferItem* none = addJob(wpFtpList, QStringLiteral("/zips/*.exe"));
    QString lastFileLine;
    run.OnFileDone = [&](TTransferRun*, int idx) {
        if (idx == 0)
            lastFileLine = ui.fileLine;
    };
    run.Execute();

    ASSERT_TRUE(list->Success());
    ASSERT_NE(list->FileList(), nullptr);
    QStringList names = *list->FileList();
    ASSERT_EQ(names.size(), 3);
    ASSERT_EQ(list->FileDetails()->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list->FileDetails()->GetItem(i)->Filename, names[i]);
    EXPECT_EQ(lastFileLine, QStringLiteral("2 ") + names[2]);
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("a.zip"), QStringLiteral("b.zip"), QStringLiteral("c.zip")}));
    const int c = static_cast<int>(list->FileList()->indexOf(QStringLiteral("c.zip")));
    EXPECT_EQ(list->FileDetails()->GetItem(c)->FileSize(), 5000);
    EXPECT_NE(list->FileDetails()->GetItem(c)->FileDate, 0u);

    EXPECT_TRUE(none->Success());
    ASSERT_NE(none->FileList(), nullptr);
    EXPECT_TRUE(none->FileList()->isEmpty());
    EXPECT_EQ(none->FileDetails()->Count(), 0);
}

TEST_F(FtpJobs, MultiDownloadThenSingleDownloadNeedsNoNewLogin)
{
    writeFile(remote(QStringLiteral("multi/one.txt")), "1");
    writeFile(remote(QStringLiteral("multi/two.txt")), "22");
    writeFile(remote(QStringLiteral("multi/skip.dat")), "x");
    writeFile(remote(QStringLiteral("multi/three.dat")), "333");
    addJob(wpMultiFtp, QStringLiteral("/multi/*.txt"), target.path());
    addJob(wpFtp, QStringLiteral("/multi/three.dat"), target.path());
    QStringList done;
    run.OnMultiFTPFileDone = [&](TTransferRun*, const QString& name) { done << name; };
    const qsizetype before = server->logins().size();
    run.Execute();

    EXPECT_EQ(server->logins().size(), before + 1);
    done.sort();
    EXPECT_EQ(done, (QStringList{QStringLiteral("one.txt"), QStringLiteral("two.txt")}));
    EXPECT_EQ(readFile(target.path() + QStringLiteral("/one.txt")), QByteArray("1"));
    EXPECT_EQ(readFile(target.path() + QStringLiteral("/two.txt")), QByteArray("22"));
    EXPECT_EQ(readFile(target.path() + QStringLiteral("/three.dat")), QByteArray("333"));
    EXPECT_TRUE(run.Items()[0]->Success());
    EXPECT_TRUE(run.Items()[1]->Success());
}

TEST_F(FtpJobs, MultiDownloadComparesEveryFileWithTheJobsDate)
{
    writeFile(remote(QStringLiteral("dates/new.txt")), "new");
    setModified(remote(QStringLiteral("dates/new.txt")), 2020, 6, 1);
    writeFile(remote(QStringLiteral("dates/old.txt")), "old");
    setModified(remote(QStringLiteral("dates/old.txt")), 2018, 6, 1);
    TWebTransferItem* item = addJob(wpMultiFtp, QStringLiteral("/dates/*.txt"), target.path());
    item->CopyNewerOnly = true;
    item->FileDate = 43466; // 2019-01-01
    run.Execute();

    EXPECT_EQ(readFile(target.path() + QStringLiteral("/new.txt")), QByteArray("new"));
    EXPECT_FALSE(QFile::exists(target.path() + QStringLiteral("/old.txt")));
    ASSERT_EQ(events.only(QStringLiteral("NoNewFileFound")).size(), 1);
    EXPECT_TRUE(events.only(QStringLiteral("NoNewFileFound"))[0].startsWith(QStringLiteral("NoNewFileFound old.txt")));
    EXPECT_EQ(item->NewFileDate, 43466);
    // Every file's progress carries the job's ordinal, and each file starts again from zero.
    ASSERT_FALSE(events.progress.empty());
    for (const auto& progress : events.progress)
        EXPECT_EQ(progress.fileIndex, 1);
    EXPECT_EQ(events.progress.back().size, 3);
}

TEST_F(FtpJobs, MultiUploadCreatesTheDirectoryOnceAndSendsEveryFile)
{
    TempDir source;
    source.write(QStringLiteral("a.txt"), "a");
    source.write(QStringLiteral("b.txt"), "bb");
    source.write(QStringLiteral("c.log"), "not matched");
    QDir().mkpath(source.path() + QStringLiteral("/sub.txt")); // matched, but no file
    addJob(wpMultiFtpUpload, source.path() + QStringLiteral("/*.txt"), QStringLiteral("drop/here"));
    QStringList done;
    run.OnMultiFTPFileDone = [&](TTransferRun*, const QString& name) { done << name; };
    run.Execute();

    EXPECT_TRUE(run.Items()[0]->Success()) << events.log.join(u'\n').toStdString();
    done.sort();
    EXPECT_EQ(done, (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("sub.txt")}));
    EXPECT_EQ(events.only(QStringLiteral("Error ")), QStringList{QStringLiteral("Error 1")});
    EXPECT_EQ(readFile(remote(QStringLiteral("drop/here/a.txt"))), QByteArray("a"));
    EXPECT_EQ(readFile(remote(QStringLiteral("drop/here/b.txt"))), QByteArray("bb"));
    EXPECT_FALSE(QFile::exists(remote(QStringLiteral("drop/here/c.log"))));
}

TEST_F(FtpJobs, CancelDuringMultiDownloadStartsNoFurtherFile)
{
    for (int i = 0; i < 4; ++i)
        writeFile(remote(QStringLiteral("many/f%1.bin").arg(i)), patternedBytes(10000, PrimePattern));
    addJob(wpMultiFtp, QStringLiteral("/many/*.bin"), target.path());
    addJob(wpFtpTest, {});
    int files = 0;
    run.OnMultiFTPFileDone = [&](TTransferRun* sender, const QString&) {
        ++files;
        sender->CancelCopy();
    };
    run.Execute();
    EXPECT_EQ(files, 1);
    EXPECT_TRUE(run.Items()[0]->Cancelled());
    EXPECT_TRUE(events.only(QStringLiteral("FileStart 1")).isEmpty());
}

TEST_F(FtpJobs, CancelDuringMultiUploadStartsNoFurtherFile)
{
    TempDir source;
    for (int i = 0; i < 3; ++i)
        source.write(QStringLiteral("u%1.bin").arg(i), patternedBytes(10000, PrimePattern));
    addJob(wpMultiFtpUpload, source.path() + QStringLiteral("/*.bin"), QStringLiteral("cancelled-upload"));
    addJob(wpFtpTest, {});
    QStringList files;
    run.OnMultiFTPFileDone = [&](TTransferRun* sender, const QString& name) {
        files << name;
        sender->CancelCopy();
    };
    run.Execute();
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(run.Items()[0]->Cancelled());
    EXPECT_TRUE(events.only(QStringLiteral("FileStart 1")).isEmpty());
    EXPECT_EQ(QDir(remote(QStringLiteral("cancelled-upload"))).entryList(QDir::Files), QStringList{files[0]});
}

TEST_F(FtpJobs, DeleteReportsWhetherTheFileWentAway)
{
    writeFile(remote(QStringLiteral("del/old.txt")), "old");
    addJob(wpFtpDelete, QStringLiteral("old.txt"), QStringLiteral("del"));
    addJob(wpFtpDelete, QStringLiteral("ignored/old.txt"), QStringLiteral("del"))->TargetFilename = QStringLiteral("gone.txt");
    addJob(wpFtpDelete, QStringLiteral("x.txt"), QStringLiteral("no-such-dir"));
    QStringList removed;
    run.OnRemovedFile = [&](TTransferRun*, int idx) { removed << QStringLiteral("removed %1").arg(idx); };
    run.OnRemovedFileFailed = [&](TTransferRun*, int idx) { removed << QStringLiteral("failed %1").arg(idx); };
    run.Execute();

    EXPECT_EQ(removed, (QStringList{QStringLiteral("removed 0"), QStringLiteral("failed 1")}));
    EXPECT_FALSE(QFile::exists(remote(QStringLiteral("del/old.txt"))));
    EXPECT_TRUE(run.Items()[0]->Success());
    EXPECT_TRUE(run.Items()[1]->Success());
    EXPECT_FALSE(run.Items()[2]->Success());
    EXPECT_TRUE(events.only(QStringLiteral("Error")).isEmpty());
}

TEST_F(FtpJobs, LoginTestTellsRightFromWrongPassword)
{
    addJob(wpFtpTest, {})->FTPPassword = QStringLiteral("wrong");
    addJob(wpFtpTest, {});
    run.Execute();
    EXPECT_FALSE(run.Items()[0]->Success());
    EXPECT_TRUE(run.Items()[1]->Success());
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              QStringList{QStringLiteral("ErrorInfo 6 Cannot connect to FTP server 127.0.0.1")});
}

TEST_F(FtpJobs, HostileListingWritesNothingOutsideTheTarget)
{
    FtpServer hostile(FtpServer::Listing::Hostile);
    ASSERT_TRUE(hostile.isRunning());
    writeFile(hostile.rootDir() + QStringLiteral("/pub/good.txt"), "good");
    writeFile(hostile.rootDir() + QStringLiteral("/evil"), "evil");
    writeFile(hostile.rootDir() + QStringLiteral("/pub/a/b"), "nested");
    TempDir outer;
    const QString inside = outer.path() + QStringLiteral("/inside");
    QDir().mkpath(inside);
    addJob(wpMultiFtp, QStringLiteral("/pub/*"), inside, &hostile);
    QStringList done;
    run.OnMultiFTPFileDone = [&](TTransferRun*, const QString& name) { done << name; };
    run.Execute();

    EXPECT_TRUE(run.Items()[0]->Success());
    EXPECT_TRUE(done.contains(QStringLiteral("../evil")));
    EXPECT_TRUE(done.contains(QStringLiteral("a/b")));
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo 3")),
              (QStringList{QStringLiteral("ErrorInfo 3 Cannot create target file ") + inside + QStringLiteral("/../evil"),
                           QStringLiteral("ErrorInfo 3 Cannot create target file ") + inside + QStringLiteral("/a/b")}));
    EXPECT_EQ(readFile(inside + QStringLiteral("/good.txt")), QByteArray("good"));
    EXPECT_EQ(QDir(outer.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("inside")});
    EXPECT_FALSE(QFileInfo::exists(inside + QStringLiteral("/a")));
}

} // namespace
