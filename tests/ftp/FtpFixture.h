#pragma once

#include "tests/support/EngineEvents.h"
#include "tests/support/FtpServer.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TempDir.h"
#include "transfer/WebTransfer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// An engine with its events recorded, a target directory, and one real FTP server shared by
// the tests of a suite (each test works in folders of its own on it).
class FtpFixture : public testing::Test {
protected:
    FtpFixture() : events(engine) { engine.ShowDialog = false; }

    static void SetUpTestSuite() { server = new FtpServer; }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(server->isRunning()) << server->error().toStdString(); }

    static QByteArray bodyOf(int size)
    {
        QByteArray result(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            result[i] = static_cast<char>((i * 31) % 251);
        return result;
    }

    static void writeFile(const QString& path, const QByteArray& data)
    {
        QDir().mkpath(path.left(path.lastIndexOf(u'/')));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

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

    TWebTransferItem* addJob(TWebTransferProtocol protocol, const QString& url, const QString& targetDir = {},
                             FtpServer* on = nullptr)
    {
        TWebTransferItem* item = engine.Items().Add();
        item->Protocol = protocol;
        item->URL = url;
        item->TargetDir = targetDir;
        item->FTPHost = QStringLiteral("127.0.0.1");
        item->FTPPort = (on ? on : server)->port();
        item->FTPUserID = QString::fromLatin1(FtpServer::User);
        item->FTPPassword = QString::fromLatin1(FtpServer::Password);
        return item;
    }

    inline static FtpServer* server = nullptr;
    TempDir target;
    TWebTransfer engine;
    EngineEvents events;
};
