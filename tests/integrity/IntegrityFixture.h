#pragma once

#include "tests/support/EngineEvents.h"
#include "tests/support/FtpServer.h"
#include "tests/support/NginxServer.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TempDir.h"
#include "platform/InternetResult.h"
#include "transfer/WebTransfer.h"
#include "transfer/WebTransferErrors.h"

#include <QLabel>
#include <QProgressBar>

#include <QCryptographicHash>
#include <QDir>

#include <gtest/gtest.h>

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
// fetches a file placed on the right server into a target directory of the test's own.
class IntegrityFixture : public testing::Test {
protected:
    IntegrityFixture() : events(engine) { engine.ShowDialog = false; }

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

    static QByteArray bodyOf(int size)
    {
        QByteArray result(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            result[i] = static_cast<char>((i * 13 + 5) % 253);
        return result;
    }

    static QString sha256Of(const QByteArray& data)
    {
        return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
    }

    // Places data as NAME where a job of that kind finds it, and adds that job. Each test uses
    // a folder of its own on the shared servers.
    TWebTransferItem* addJob(const DownloadKind& kind, const QString& name, const QByteArray& data)
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        const QString folder = QString::fromLatin1(info->name()).replace(u'/', u'_') + u'_' + name;
        TWebTransferItem* item = engine.Items().Add();
        item->Protocol = kind.protocol;
        item->TargetDir = target.path();
        switch (kind.protocol) {
        case wpHttp:
            served->write(folder + u'/' + name, data);
            item->URL = nginx->url(u'/' + folder + u'/' + name);
            break;
        case wpFile:
            item->URL = source.write(name, data);
            break;
        default:
            writeRemote(folder + u'/' + name, data);
            // A multi-file job takes every file that matches; the folder holds just this one.
            item->URL = u'/' + folder + u'/' + (kind.protocol == wpMultiFtp ? QStringLiteral("*") : name);
            item->FTPHost = QStringLiteral("127.0.0.1");
            item->FTPPort = ftp->port();
            item->FTPUserID = QString::fromLatin1(FtpServer::User);
            item->FTPPassword = QString::fromLatin1(FtpServer::Password);
            break;
        }
        return item;
    }

    // Names in the target directory, hidden ones included.
    QStringList targetEntries() const
    {
        return QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    static inline std::unique_ptr<TempDir> served;
    static inline std::unique_ptr<NginxServer> nginx;
    static inline std::unique_ptr<FtpServer> ftp;
    TempDir source;
    TempDir target;
    TWebTransfer engine;
    EngineEvents events;

private:
    static void writeRemote(const QString& path, const QByteArray& data)
    {
        const QString full = ftp->rootDir() + u'/' + path;
        QDir().mkpath(full.left(full.lastIndexOf(u'/')));
        QFile file(full);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
};
