#pragma once

#include "tests/support/EngineFixture.h"
#include "tests/support/FtpServer.h"
#include "tests/support/SuiteServer.h"

#include <QDateTime>

// One real FTP server shared by the tests of a suite (each test works in folders of its own on
// it), and the run's jobs logging in to it.
class FtpFixture : public SuiteServer<FtpServer, EngineFixture> {
protected:

    // A file on the server, by its path below the server's root.
    static QString remote(const QString& path) { return server->rootDir() + u'/' + path; }

    static void setModified(const QString& path, const QDateTime& time)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }

    static void setModified(const QString& path, int year, int month, int day)
    {
        setModified(path, QDateTime(QDate(year, month, day), QTime(12, 0), Qt::UTC));
    }

    // A job on the suite's server, or on another one.
    TWebTransferItem* addJob(TWebTransferProtocol protocol, const QString& url, const QString& targetDir = {},
                             const FtpServer* on = nullptr)
    {
        return addFtpJob(protocol, url, targetDir, on ? *on : *server);
    }

};
