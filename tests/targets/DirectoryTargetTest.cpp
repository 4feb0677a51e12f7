#include "tests/support/CaseName.h"
#include "tests/support/EngineFixture.h"
#include "tests/support/ScriptedHttpServer.h"

#include <QFileInfo>

#include <ostream>

namespace {

// Large enough that a download which went ahead would show in the progress events.
constexpr int SourceSize = 300000;

struct DirectoryCase {
    const char* name;
    TWebTransferProtocol protocol;
    bool uniqueNames;
    bool throughLink; // the name is a symbolic link to the directory
    // The operation's own text for a target it cannot create.
    const char* createError;
    friend void PrintTo(const DirectoryCase& c, std::ostream* os) { *os << c.name; }
};

// A directory where the file would go, itself or behind a link: it is not a file to
// overwrite, so no overwrite question and no "name(1)" beside it, but a target that cannot
// be created, before any byte of the source is moved.
class DirectoryAtTarget : public EngineFixture, public testing::WithParamInterface<DirectoryCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(http.isRunning());
        ASSERT_TRUE(ftp.isRunning()) << ftp.error().toStdString();
        writeFile(ftp.rootDir() + QStringLiteral("/pub/setup.exe"), patternedBytes(SourceSize, PrimePattern));
        source.write(QStringLiteral("setup.exe"), patternedBytes(SourceSize, PrimePattern));
        if (GetParam().throughLink) {
            directory = source.filePath(QStringLiteral("elsewhere"));
            ASSERT_TRUE(QDir().mkdir(directory));
            ASSERT_TRUE(QFile::link(directory, target.filePath(QStringLiteral("setup.exe"))));
        } else {
            directory = target.filePath(QStringLiteral("setup.exe"));
            ASSERT_TRUE(QDir().mkdir(directory));
        }
        QFile inner(directory + QStringLiteral("/inner.txt"));
        ASSERT_TRUE(inner.open(QIODevice::WriteOnly));
        inner.write("kept");
    }

    TWebTransferItem* addJob(TWebTransferProtocol protocol)
    {
        if (protocol == wpFtp)
            return addFtpJob(wpFtp, QStringLiteral("/pub/setup.exe"), target.path(), ftp);
        TWebTransferItem* job = run.Items().Add();
        job->Protocol = protocol;
        job->TargetDir = target.path();
        switch (protocol) {
        case wpFile:
            job->URL = source.filePath(QStringLiteral("setup.exe"));
            break;
        default:
            job->URL = http.url(QStringLiteral("/file/size=%1/setup.exe").arg(SourceSize));
            break;
        }
        return job;
    }

    ScriptedHttpServer http;
    FtpServer ftp;
    TempDir source;
    QString directory;
};

TEST_P(DirectoryAtTarget, IsError3WithoutAnOverwriteQuestion)
{
    run.CreateUniqueFilenames = GetParam().uniqueNames;
    QStringList asked;
    run.OnCopyOverWrite = [&](TTransferRun*, const QString& file, bool&) { asked << file; };
    TWebTransferItem* job = addJob(GetParam().protocol);

    run.Execute();

    const QString path = target.filePath(QStringLiteral("setup.exe"));
    EXPECT_FALSE(job->Success());
    EXPECT_TRUE(asked.isEmpty()) << asked.join(u'|').toStdString();
    EXPECT_EQ(events.only(QStringLiteral("Error")),
              (QStringList{QStringLiteral("Error 3"),
                           QStringLiteral("ErrorInfo 3 ") + QString::fromLatin1(GetParam().createError) + path}));
    EXPECT_TRUE(events.progress.empty()) << "bytes were moved before the target was found unusable";
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(QFileInfo(path).isSymLink(), GetParam().throughLink);
    EXPECT_EQ(QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("inner.txt")});
    QFile inner(directory + QStringLiteral("/inner.txt"));
    ASSERT_TRUE(inner.open(QIODevice::ReadOnly));
    EXPECT_EQ(inner.readAll(), QByteArray("kept"));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

INSTANTIATE_TEST_SUITE_P(
    Operations, DirectoryAtTarget,
    testing::Values(DirectoryCase{"HttpDownload", wpHttp, false, false, "Cannot create file "},
                    DirectoryCase{"HttpDownloadUniqueNames", wpHttp, true, false, "Cannot create file "},
                    DirectoryCase{"HttpDownloadLinkToDirectory", wpHttp, false, true, "Cannot create file "},
                    DirectoryCase{"FtpDownload", wpFtp, false, false, "Cannot create target file "},
                    DirectoryCase{"FtpDownloadUniqueNames", wpFtp, true, false, "Cannot create target file "},
                    DirectoryCase{"FtpDownloadLinkToDirectory", wpFtp, false, true, "Cannot create target file "},
                    DirectoryCase{"FileCopy", wpFile, false, false, "Cannot create target file "},
                    DirectoryCase{"FileCopyUniqueNames", wpFile, true, false, "Cannot create target file "},
                    DirectoryCase{"FileCopyLinkToDirectory", wpFile, false, true, "Cannot create target file "}),
    caseName);

} // namespace
