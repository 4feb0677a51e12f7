#pragma once

#include "tests/support/ClickButton.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/NginxServer.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"
#include "platform/InternetResult.h"
#include "transfer/WebTransfer.h"
#include "transfer/WebTransferErrors.h"

#include <QLabel>
#include <QProgressBar>

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

// An engine with its events recorded, a served directory and a target directory.
class DownloadFixture : public testing::Test {
protected:
    DownloadFixture() : events(engine) {}

    // The body the scripted server sends for a size.
    static QByteArray bodyOf(int size)
    {
        QByteArray result(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            result[i] = static_cast<char>(i % 256);
        return result;
    }

    TWebTransferItem* addJob(const QString& url, const QString& targetDir = {})
    {
        TWebTransferItem* item = engine.Items().Add();
        item->URL = url;
        item->TargetDir = targetDir.isEmpty() ? target.path() : targetDir;
        return item;
    }

    // The Authorization header of every request a server saw, in order; "none" where there was none.
    static QStringList authorizationsSeenBy(const ScriptedHttpServer& server)
    {
        QStringList result;
        for (const auto& request : server.requests())
            result << request.headers.value(QStringLiteral("authorization"), QStringLiteral("none"));
        return result;
    }

    // The Basic header value of "user:password".
    static QString basic(const char* credentials)
    {
        return QStringLiteral("Basic ") + QString::fromLatin1(QByteArray(credentials).toBase64());
    }

    // Clicks the progress dialog's Cancel button, as the user would.
    void clickCancel() { ASSERT_TRUE(clickButton(engine.ProgressForm(), engine.DlgCancel)) << "no Cancel button"; }

    // Names in the target directory, temporary files included.
    QStringList targetEntries() const
    {
        return QDir(target.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    TempDir served;
    TempDir target;
    TWebTransfer engine;
    EngineEvents events;
};
