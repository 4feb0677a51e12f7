#pragma once

#include "tests/support/EngineFixture.h"
#include "tests/support/NginxServer.h"
#include "tests/support/ScriptedHttpServer.h"

// HTTP downloads: a directory for a server to serve, and the run's jobs fetching into the
// target directory.
class DownloadFixture : public EngineFixture {
protected:
    TWebTransferItem* addJob(const QString& url, const QString& targetDir = {})
    {
        TWebTransferItem* item = run.Items().Add();
        item->URL = url;
        item->TargetDir = targetDir.isEmpty() ? target.path() : targetDir;
        return item;
    }

    static QString basic(const char* credentials) { return ScriptedHttpServer::basic(credentials); }

    TempDir served;
};
