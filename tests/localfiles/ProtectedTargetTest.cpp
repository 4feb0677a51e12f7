#include "transfer/TransferRun.h"

#include "tests/support/CaseName.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/FtpServer.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

struct ProtectedCase {
    const char* name;
    TWebTransferProtocol protocol;
    const char* errorText;
    friend void PrintTo(const ProtectedCase& c, std::ostream* os) { *os << c.name; }
};

class ProtectedTarget : public testing::TestWithParam<ProtectedCase> {};

// A file the user may not write sits at the target in a directory the user may write: the
// directory would let a rename replace it, but the file is not the user's to replace.
TEST_P(ProtectedTarget, IsError3AndStaysAsItWas)
{
    KX_RUN_AS_ORDINARY_USER();
    const ProtectedCase& c = GetParam();
    TempDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString path = dir.write(QStringLiteral("out/setup.exe"), "old");
    const auto readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path, readOnly));

    TTransferRun run;
    EngineEvents events(run);
    TWebTransferItem& job = *run.Items().Add();
    job.Protocol = c.protocol;
    job.TargetDir = out;
    std::unique_ptr<ScriptedHttpServer> http;
    std::unique_ptr<FtpServer> ftp;
    switch (c.protocol) {
    case wpHttp:
        http = std::make_unique<ScriptedHttpServer>();
        ASSERT_TRUE(http->isRunning());
        job.URL = http->url(QStringLiteral("/file/setup.exe?size=5000"));
        job.TargetFilename = QStringLiteral("setup.exe");
        break;
    case wpFtp: {
        ftp = std::make_unique<FtpServer>();
        ASSERT_TRUE(ftp->isRunning()) << ftp->error().toStdString();
        QFile remote(ftp->rootDir() + QStringLiteral("/setup.exe"));
        ASSERT_TRUE(remote.open(QIODevice::WriteOnly));
        remote.write(QByteArray(5000, 'n'));
        remote.close();
        job.URL = QStringLiteral("setup.exe");
        job.FTPHost = QStringLiteral("127.0.0.1");
        job.FTPPort = ftp->port();
        job.FTPUserID = QString::fromLatin1(FtpServer::User);
        job.FTPPassword = QString::fromLatin1(FtpServer::Password);
        break;
    }
    default:
        job.URL = dir.write(QStringLiteral("src/setup.exe"), QByteArray(5000, 'n'));
        break;
    }
    // The run goes on to the next job, which may write beside the protected file.
    TWebTransferItem& next = *run.Items().Add();
    next.Protocol = wpFile;
    next.URL = dir.write(QStringLiteral("src/next.txt"), "next");
    next.TargetDir = out;
    run.Execute();

    EXPECT_FALSE(job.Success());
    EXPECT_EQ(events.only(QStringLiteral("Error")),
              (QStringList{QStringLiteral("Error 3"),
                           QStringLiteral("ErrorInfo 3 ") + QString::fromLatin1(c.errorText) + path}));
    EXPECT_EQ(dir.read(QStringLiteral("out/setup.exe")), QByteArray("old"));
    EXPECT_EQ(QFile::permissions(path) & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther), 0);
    EXPECT_TRUE(next.Success());
    QStringList names = QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("next.txt"), QStringLiteral("setup.exe")}));
}

INSTANTIATE_TEST_SUITE_P(Jobs, ProtectedTarget,
                         testing::Values(ProtectedCase{"HttpDownload", wpHttp, "Cannot create file "},
                                         ProtectedCase{"FtpDownload", wpFtp, "Cannot create target file "},
                                         ProtectedCase{"FileCopy", wpFile, "Cannot create target file "}),
                         caseName);

} // namespace
