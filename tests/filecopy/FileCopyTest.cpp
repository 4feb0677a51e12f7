#include "transfer/DateConversions.h"
#include "transfer/TransferRun.h"

#include "tests/support/CaseName.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/PatternedBytes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/SambaServer.h"
#include "tests/support/SuiteServer.h"
#include "tests/support/TempDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <ostream>
#include <sys/stat.h>

namespace {

class FileCopyTest : public testing::Test {
protected:
    FileCopyTest() { m_run.SetUi(&m_ui); }

    TWebTransferItem& AddCopy(const QString& url, const QString& targetDir, const QString& targetName = {})
    {
        TWebTransferItem& job = *m_run.Items().Add();
        job.Protocol = wpFile;
        job.URL = url;
        job.TargetDir = targetDir;
        job.TargetFilename = targetName;
        return job;
    }

    TempDir m_dir;
    RecordingUi m_ui;
    TTransferRun m_run;
    EngineEvents m_events{m_run};
};

TEST_F(FileCopyTest, CopiesIntoNewDirectoriesUnderTheSourceName)
{
    const QString source = m_dir.write(QStringLiteral("data/a.txt"), "hello");
    AddCopy(QStringLiteral("FiLe://") + source, m_dir.filePath(QStringLiteral("copy/deep")));
    m_run.Execute();

    EXPECT_EQ(m_dir.read(QStringLiteral("copy/deep/a.txt")), QByteArray("hello"));
    EXPECT_TRUE(m_run.Items()[0]->Success());
    EXPECT_EQ(m_events.log, QStringList({QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                         QStringLiteral("CopyDone")}));
}

TEST_F(FileCopyTest, ProgressFollowsEveryBlockAndTheFinalEmptyRead)
{
    const QString source = m_dir.write(QStringLiteral("big.bin"), patternedBytes(100000, PrimePattern));
    AddCopy(source, m_dir.filePath(QStringLiteral("out")), QStringLiteral("copy.bin"));
    m_run.Execute();

    EXPECT_EQ(m_dir.read(QStringLiteral("out/copy.bin")), patternedBytes(100000, PrimePattern));
    std::vector<std::int64_t> sizes;
    for (const auto& p : m_events.progress) {
        sizes.push_back(p.size);
        EXPECT_EQ(p.total, 100000);
        EXPECT_EQ(p.fileIndex, 1);
    }
    EXPECT_EQ(sizes, (std::vector<std::int64_t>{32768, 65536, 98304, 100000, 100000}));
}

TEST_F(FileCopyTest, EmptySourceGivesAnEmptyTargetAndAFullBar)
{
    const QString source = m_dir.write(QStringLiteral("empty.txt"));
    AddCopy(source, m_dir.filePath(QStringLiteral("out")));
    m_run.Execute();
    EXPECT_TRUE(m_run.Items()[0]->Success());
    EXPECT_TRUE(QFileInfo::exists(m_dir.filePath(QStringLiteral("out/empty.txt"))));
    ASSERT_EQ(m_events.progress.size(), 1u);
    EXPECT_EQ(m_events.progress[0].size, 0);
    EXPECT_EQ(m_ui.bar, 100);
    EXPECT_EQ(m_ui.closed, 1) << "the user interface closes with the run";
}

struct FailureCase {
    const char* name;
    int code;
    const char* infoPrefix;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class CopyFailures : public FileCopyTest, public testing::WithParamInterface<FailureCase> {
protected:
    // Sets up the job the case describes; returns the path its message names.
    QString Prepare(const std::string& name)
    {
        const QString source = m_dir.write(QStringLiteral("src/a.txt"), "source");
        const QString out = m_dir.filePath(QStringLiteral("out"));
        if (name == "MissingSource") {
            AddCopy(m_dir.filePath(QStringLiteral("src/none.txt")), out);
            return m_dir.filePath(QStringLiteral("src/none.txt"));
        }
        if (name == "SourceIsADirectory") {
            AddCopy(m_dir.filePath(QStringLiteral("src")), out, QStringLiteral("x"));
            return m_dir.filePath(QStringLiteral("src"));
        }
        if (name == "SourceWithoutSize") {
            const QString fifo = m_dir.filePath(QStringLiteral("fifo"));
            mkfifo(QFile::encodeName(fifo).constData(), 0600); // nobody ever writes to it
            AddCopy(fifo, out);
            return fifo;
        }
        if (name == "SameText") {
            AddCopy(source, m_dir.filePath(QStringLiteral("src")));
            return source;
        }
        if (name == "SameFileOtherSpelling") {
            AddCopy(m_dir.filePath(QStringLiteral("src/../src/a.txt")), m_dir.filePath(QStringLiteral("src")));
            return m_dir.filePath(QStringLiteral("src/../src/a.txt"));
        }
        if (name == "TargetBelowAFile") {
            m_dir.write(QStringLiteral("blocker"));
            AddCopy(source, m_dir.filePath(QStringLiteral("blocker/sub")));
            return m_dir.filePath(QStringLiteral("blocker/sub/a.txt"));
        }
        if (name == "NameThatLeavesTheTarget") {
            AddCopy(m_dir.filePath(QStringLiteral("src/..")), out);
            return out + QStringLiteral("/..");
        }
        return {};
    }
};

TEST_P(CopyFailures, AreReportedWithTheirCodeAndLeaveTheSourceAlone)
{
    const FailureCase& c = GetParam();
    const QString path = Prepare(c.name);
    AddCopy(m_dir.filePath(QStringLiteral("src/a.txt")), m_dir.filePath(QStringLiteral("next"))); // the run goes on
    m_run.Execute();

    EXPECT_FALSE(m_run.Items()[0]->Success());
    EXPECT_EQ(m_events.only(QStringLiteral("Error")),
              QStringList({QStringLiteral("Error %1").arg(c.code),
                           QStringLiteral("ErrorInfo %1 %2%3").arg(c.code).arg(QString::fromLatin1(c.infoPrefix), path)}));
    EXPECT_EQ(m_dir.read(QStringLiteral("src/a.txt")), QByteArray("source"));
    EXPECT_TRUE(m_run.Items()[1]->Success());
}

INSTANTIATE_TEST_SUITE_P(Cases, CopyFailures, testing::Values(
    FailureCase{"MissingSource", 1, "Cannot open source file "},
    FailureCase{"SourceIsADirectory", 1, "Cannot open source file "},
    FailureCase{"SourceWithoutSize", 2, "Zero length source file "},
    FailureCase{"SameText", 0, "Cannot copy identical files "},
    FailureCase{"SameFileOtherSpelling", 0, "Cannot copy identical files "},
    FailureCase{"TargetBelowAFile", 3, "Cannot create target file "},
    FailureCase{"NameThatLeavesTheTarget", 3, "Cannot create target file "}),
    caseName);

TEST_F(FileCopyTest, NotNewerSourceIsSkippedWithItsDate)
{
    const QString source = m_dir.write(QStringLiteral("a.txt"), "data");
    const TDateTime sourceDate = DateTimeFromQDateTime(QFileInfo(source).lastModified());
    TWebTransferItem& same = AddCopy(source, m_dir.filePath(QStringLiteral("out1")));
    same.CopyNewerOnly = true;
    same.FileDate = sourceDate;
    TWebTransferItem& older = AddCopy(source, m_dir.filePath(QStringLiteral("out2")));
    older.CopyNewerOnly = true;
    older.FileDate = sourceDate - 1;
    m_run.Execute();

    EXPECT_TRUE(same.NoNewVersion());
    EXPECT_FALSE(same.Success());
    EXPECT_DOUBLE_EQ(same.NewFileDate, sourceDate);
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("out1/a.txt"))));
    EXPECT_EQ(m_events.only(QStringLiteral("NoNewFileFound")),
              QStringList({QStringLiteral("NoNewFileFound %1 %2 %2").arg(source).arg(sourceDate, 0, 'f', 6)}));

    EXPECT_TRUE(older.Success());
    EXPECT_FALSE(older.NoNewVersion());
    EXPECT_DOUBLE_EQ(older.NewFileDate, sourceDate);
}

TEST_F(FileCopyTest, DateCheckHandlerDecidesInsteadOfTheBuiltInTest)
{
    const QString source = m_dir.write(QStringLiteral("a.txt"), "data");
    TWebTransferItem& job = AddCopy(source, m_dir.filePath(QStringLiteral("out")));
    job.FileDate = 1e6; // far in the future: the built-in test would refuse
    std::vector<int> asked;
    m_run.OnFileDateCheck = [&](TTransferRun*, int idx, TDateTime, bool& allow) {
        asked.push_back(idx);
        allow = asked.size() > 1;
    };
    m_run.Execute();
    EXPECT_FALSE(job.Success());
    EXPECT_FALSE(job.NoNewVersion());
    m_run.Execute();
    EXPECT_TRUE(job.Success());
    EXPECT_EQ(asked, (std::vector<int>{0, 0}));
}

TEST_F(FileCopyTest, ExistingTargetIsAskedAboutAndCanGetAUniqueName)
{
    const QString source = m_dir.write(QStringLiteral("src/setup.exe"), "new");
    m_dir.write(QStringLiteral("out/setup.exe"), "old");
    AddCopy(source, m_dir.filePath(QStringLiteral("out")));
    QStringList asked;
    bool allow = false;
    m_run.OnCopyOverWrite = [&](TTransferRun*, const QString& target, bool& a) {
        asked << target;
        a = allow;
    };
    m_run.Execute();
    EXPECT_EQ(m_dir.read(QStringLiteral("out/setup.exe")), QByteArray("old"));
    EXPECT_EQ(asked, QStringList({m_dir.filePath(QStringLiteral("out/setup.exe"))}));

    allow = true;
    m_run.CreateUniqueFilenames = true;
    m_run.Execute();
    EXPECT_EQ(m_dir.read(QStringLiteral("out/setup.exe")), QByteArray("old"));
    EXPECT_EQ(m_dir.read(QStringLiteral("out/setup(1).exe")), QByteArray("new"));
}

TEST_F(FileCopyTest, FullDiskIsAWriteErrorAndTheRunGoesOn)
{
    const QString source = m_dir.write(QStringLiteral("big.bin"), patternedBytes(100000, PrimePattern));
    AddCopy(source, m_dir.filePath(QStringLiteral("out")));
    AddCopy(m_dir.write(QStringLiteral("small.txt"), "x"), m_dir.filePath(QStringLiteral("out")));
    {
        FileSizeLimit limit(50000);
        m_run.Execute();
    }
    EXPECT_FALSE(m_run.Items()[0]->Success());
    EXPECT_EQ(m_events.only(QStringLiteral("Error ")), QStringList({QStringLiteral("Error 5")}));
    EXPECT_TRUE(m_events.log.contains(QStringLiteral("ErrorInfo 5 Error writing to destination file ")
                                      + m_dir.filePath(QStringLiteral("out/big.bin"))
                                      + QStringLiteral(": not enough room, 97.7 KiB needed, 48.8 KiB free")));
    EXPECT_TRUE(m_run.Items()[1]->Success());
}

// The copy replaces the target only once it is whole, and never writes through a link.
struct SourceKind {
    const char* name;
    bool share;
    friend void PrintTo(const SourceKind& c, std::ostream* os) { *os << c.name; }
};

class CopyTargetSafety : public FileCopyTest, public testing::WithParamInterface<SourceKind> {
protected:
    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }

    // A copy of a 100000-byte source into out/setup.exe, from the disk or from a share.
    void AddSourceCopy()
    {
        if (!GetParam().share) {
            AddCopy(m_dir.write(QStringLiteral("src/setup.exe"), patternedBytes(100000, PrimePattern)), Out());
            return;
        }
        if (!s_server)
            s_server = new SambaServer; // started once, by the first share case
        ASSERT_TRUE(s_server->isRunning()) << s_server->error().toStdString();
        QFile file(s_server->shareDir() + QStringLiteral("/setup.exe"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(patternedBytes(100000, PrimePattern));
        file.close();
        TWebTransferItem& job = AddCopy(QStringLiteral("setup.exe"), Out());
        job.FTPHost = s_server->shareName();
        job.FTPUserID = QString::fromLatin1(SambaServer::User);
        job.FTPPassword = QString::fromLatin1(SambaServer::Password);
    }

    QString Out() const { return m_dir.filePath(QStringLiteral("out")); }

    QStringList OutEntries() const
    {
        QStringList names = QDir(Out()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        names.sort();
        return names;
    }

    inline static SambaServer* s_server = nullptr;
};

TEST_P(CopyTargetSafety, FullDiskKeepsTheOldFile)
{
    m_dir.write(QStringLiteral("out/setup.exe"), "old");
    AddSourceCopy();
    {
        FileSizeLimit limit(50000);
        m_run.Execute();
    }
    EXPECT_FALSE(m_run.Items()[0]->Success());
    EXPECT_EQ(m_events.only(QStringLiteral("Error ")), QStringList({QStringLiteral("Error 5")}));
    EXPECT_EQ(m_dir.read(QStringLiteral("out/setup.exe")), QByteArray("old"));
    EXPECT_EQ(OutEntries(), QStringList{QStringLiteral("setup.exe")});
}

TEST_P(CopyTargetSafety, CancelKeepsTheOldFileAndEndsTheRun)
{
    m_dir.write(QStringLiteral("out/setup.exe"), "old");
    AddSourceCopy();
    AddCopy(m_dir.write(QStringLiteral("next.txt"), "next"), m_dir.filePath(QStringLiteral("never")));
    m_run.OnCopyProgress = [&](TTransferRun* sender, int, std::int64_t, std::int64_t) { sender->CancelCopy(); };
    m_run.Execute();

    EXPECT_TRUE(m_run.Items()[0]->Cancelled());
    EXPECT_FALSE(m_run.Items()[0]->Success());
    EXPECT_EQ(m_dir.read(QStringLiteral("out/setup.exe")), QByteArray("old"));
    EXPECT_EQ(OutEntries(), QStringList{QStringLiteral("setup.exe")});
    EXPECT_FALSE(QDir(m_dir.filePath(QStringLiteral("never"))).exists());
    EXPECT_EQ(m_events.log.last(), QStringLiteral("CopyDone"));
}

TEST_P(CopyTargetSafety, LinkAtTheTargetIsReplacedNotWrittenThrough)
{
    const QString elsewhere = m_dir.write(QStringLiteral("elsewhere.txt"), "not to be touched");
    QDir().mkpath(Out());
    ASSERT_TRUE(QFile::link(elsewhere, m_dir.filePath(QStringLiteral("out/setup.exe"))));
    AddSourceCopy();
    m_run.Execute();

    EXPECT_TRUE(m_run.Items()[0]->Success()) << m_events.log.join(u'\n').toStdString();
    EXPECT_EQ(m_dir.read(QStringLiteral("elsewhere.txt")), QByteArray("not to be touched"));
    const QFileInfo target(m_dir.filePath(QStringLiteral("out/setup.exe")));
    EXPECT_FALSE(target.isSymLink());
    EXPECT_EQ(m_dir.read(QStringLiteral("out/setup.exe")), patternedBytes(100000, PrimePattern));
    EXPECT_EQ(OutEntries(), QStringList{QStringLiteral("setup.exe")});
}

INSTANTIATE_TEST_SUITE_P(Sources, CopyTargetSafety,
                         testing::Values(SourceKind{"Local", false}, SourceKind{"Share", true}),
                         caseName);

// One smbd for the share cases: starting one takes a few seconds.
class ShareCopyTest : public SuiteServer<SambaServer, FileCopyTest> {
protected:

    TWebTransferItem& AddShareCopy(const QString& password)
    {
        QFile file(server->shareDir() + QStringLiteral("/report.pdf"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(patternedBytes(40000, PrimePattern));
        file.close();
        TWebTransferItem& job = AddCopy(QStringLiteral("report.pdf"), m_dir.filePath(QStringLiteral("out")));
        job.FTPHost = server->shareName();
        job.FTPUserID = QString::fromLatin1(SambaServer::User);
        job.FTPPassword = password;
        return job;
    }

};

TEST_F(ShareCopyTest, CopiesFromAConnectedShare)
{
    TWebTransferItem& job = AddShareCopy(QString::fromLatin1(SambaServer::Password));
    job.CopyNewerOnly = true;
    m_run.Execute();
    EXPECT_TRUE(job.Success());
    EXPECT_EQ(m_dir.read(QStringLiteral("out/report.pdf")), patternedBytes(40000, PrimePattern));
    EXPECT_GT(job.NewFileDate, 40000.0) << "the share's date of the file";
    EXPECT_TRUE(m_events.only(QStringLiteral("ConnectError")).isEmpty());
}

TEST_F(ShareCopyTest, ShareThatCannotBeConnectedIsReportedTwice)
{
    TWebTransferItem& job = AddShareCopy(QStringLiteral("wrong"));
    m_run.Execute();
    EXPECT_FALSE(job.Success());
    EXPECT_EQ(m_events.only(QStringLiteral("ConnectError")),
              QStringList({QStringLiteral("ConnectError"), QStringLiteral("ConnectError")}));
    EXPECT_TRUE(m_events.only(QStringLiteral("Error")).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("out/report.pdf"))));
}

} // namespace
