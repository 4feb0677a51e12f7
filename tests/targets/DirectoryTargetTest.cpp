#include "transfer/WebTransfer.h"

#include "tests/support/CaseName.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/FtpServer.h"
#include "tests/support/PatternedBytes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

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
class DirectoryAtTarget : public testing::TestWithParam<DirectoryCase> {
protected:
    DirectoryAtTarget() : events(engine) {}

    void SetUp() override
    {
        ASSERT_TRUE(http.isRunning());
        ASSERT_TRUE(ftp.isRunning()) << ftp.error().toStdString();
        ASSERT_TRUE(QDir().mkpath(ftp.rootDir() + QStringLiteral("/pub")));
        QFile remote(ftp.rootDir() + QStringLiteral("/pub/setup.exe"));
        ASSERT_TRUE(remote.open(QIODevice::WriteOnly));
        remote.write(patternedBytes(SourceSize, PrimePattern));
        remote.close();
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
        TWebTransferItem* job = engine.Items().Add();
        job->Protocol = protocol;
        job->TargetDir = target.path();
        switch (protocol) {
        case wpFtp:
            job->URL = QStringLiteral("/pub/setup.exe");
            job->FTPHost = QStringLiteral("127.0.0.1");
            job->FTPPort = ftp.port();
            job->FTPUserID = QString::fromLatin1(FtpServer::User);
            job->FTPPassword = QString::fromLatin1(FtpServer::Password);
            break;
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
    TempDir target;
    QString directory;
    TWebTransfer engine;
    EngineEvents events;
};

TEST_P(DirectoryAtTarget, IsError3WithoutAnOverwriteQuestion)
{
    engine.CreateUniqueFilenames = GetParam().uniqueNames;
    QStringList asked;
    engine.OnCopyOverWrite = [&](TWebTransfer*, const QString& file, bool&) { asked << file; };
    TWebTransferItem* job = addJob(GetParam().protocol);

    engine.Execute();

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
    EXPECT_EQ(QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("setup.exe")});
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
