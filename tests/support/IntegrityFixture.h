#pragma once

#include "tests/support/EngineFixture.h"
#include "tests/support/NginxServer.h"

#include <memory>
#include <ostream>

// The four kinds of job that write a downloaded or copied file.
struct DownloadKind {
    const char* name;
    TWebTransferProtocol protocol;
    friend void PrintTo(const DownloadKind& kind, std::ostream* out) { *out << kind.name; }
};

inline const DownloadKind DownloadKinds[] = {
    {"Http", wpHttp},
    {"Ftp", wpFtp},
    {"MultiFtp", wpMultiFtp},
    {"FileCopy", wpFile},
};

// One real HTTP server and one real FTP server for the suite, and a job of each kind that
// fetches a file placed on the right server into the target directory.
class IntegrityFixture : public EngineFixture {
protected:
    static void SetUpTestSuite()
    {
        served = std::make_unique<TempDir>();
        nginx = std::make_unique<NginxServer>(served->path());
        ftp = std::make_unique<FtpServer>();
    }
    static void TearDownTestSuite()
    {
        ftp.reset();
        nginx.reset();
        served.reset();
    }
    void SetUp() override
    {
        ASSERT_TRUE(nginx->isRunning());
        ASSERT_TRUE(ftp->isRunning()) << ftp->error().toStdString();
    }

    // Places data as NAME where a job of that kind finds it, and adds that job. Each test uses
    // a folder of its own on the shared servers.
    TWebTransferItem* addJob(const DownloadKind& kind, const QString& name, const QByteArray& data)
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        const QString folder = QString::fromLatin1(info->name()).replace(u'/', u'_') + u'_' + name;
        switch (kind.protocol) {
        case wpHttp: {
            served->write(folder + u'/' + name, data);
            TWebTransferItem* item = run.Items().Add();
            item->URL = nginx->url(u'/' + folder + u'/' + name);
            item->TargetDir = target.path();
            return item;
        }
        case wpFile: {
            TWebTransferItem* item = run.Items().Add();
            item->Protocol = wpFile;
            item->URL = source.write(name, data);
            item->TargetDir = target.path();
            return item;
        }
        default:
            writeFile(ftp->rootDir() + u'/' + folder + u'/' + name, data);
            // A multi-file job takes every file that matches; the folder holds just this one.
            return addFtpJob(kind.protocol,
                             u'/' + folder + u'/' + (kind.protocol == wpMultiFtp ? QStringLiteral("*") : name),
                             target.path(), *ftp);
        }
    }

    static inline std::unique_ptr<TempDir> served;
    static inline std::unique_ptr<NginxServer> nginx;
    static inline std::unique_ptr<FtpServer> ftp;
    TempDir source;
};
