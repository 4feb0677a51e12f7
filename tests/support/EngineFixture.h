#pragma once

#include "tests/support/EngineEvents.h"
#include "tests/support/FtpServer.h"
#include "tests/support/PatternedBytes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "transfer/TransferRun.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// What every test of the engine starts from: a run without a window, a user interface that
// keeps what the run showed it, the run's events in order, and a target directory of the
// test's own.
class EngineFixture : public testing::Test {
protected:
    EngineFixture() { run.SetUi(&ui); }

    // A job of the kind given that logs in to a test FTP server as its user.
    TWebTransferItem* addFtpJob(TWebTransferProtocol protocol, const QString& url, const QString& targetDir,
                                const FtpServer& on)
    {
        TWebTransferItem* item = run.Items().Add();
        item->Protocol = protocol;
        item->URL = url;
        item->TargetDir = targetDir;
        item->FTPHost = QStringLiteral("127.0.0.1");
        item->FTPPort = on.port();
        item->FTPUserID = QString::fromLatin1(FtpServer::User);
        item->FTPPassword = QString::fromLatin1(FtpServer::Password);
        return item;
    }

    // Names in the target directory, hidden ones included.
    QStringList targetEntries() const { return entriesOf(target.path()); }

    // Names in a directory, hidden ones and links included, in order.
    static QStringList entriesOf(const QString& dir)
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    // Writes a file by its full path, making the folders it needs.
    static void writeFile(const QString& path, const QByteArray& data)
    {
        QDir().mkpath(path.left(path.lastIndexOf(u'/')));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        ASSERT_EQ(file.write(data), data.size()) << path.toStdString();
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static QString sha256Of(const QByteArray& data)
    {
        return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
    }

    TempDir target;
    // Declared before the run, which shows everything to it until the run goes.
    RecordingUi ui;
    TTransferRun run;
    EngineEvents events{run};
};
