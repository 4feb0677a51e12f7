#pragma once

#include "transfer/WebTransfer.h"

#include <QStringList>

#include <cstdint>
#include <vector>

// Records what an engine reports, in order, as short texts ("FileStart 0", "Error 404",
// "ErrorInfo 404 Returned http error code 404", "CopyDone"). Progress goes to its own list.
struct EngineEvents {
    struct Progress {
        int fileIndex;
        std::int64_t size;
        std::int64_t total;
    };

    explicit EngineEvents(TWebTransfer& engine)
    {
        engine.OnFileStart = [this](TWebTransfer*, int idx) { log << QStringLiteral("FileStart %1").arg(idx); };
        engine.OnFileDone = [this](TWebTransfer*, int idx) { log << QStringLiteral("FileDone %1").arg(idx); };
        engine.OnCopyDone = [this](TWebTransfer*) { log << QStringLiteral("CopyDone"); };
        engine.OnCopyCancel = [this](TWebTransfer*) { log << QStringLiteral("CopyCancel"); };
        engine.OnError = [this](TWebTransfer*, int code) { log << QStringLiteral("Error %1").arg(code); };
        engine.OnErrorInfo = [this](TWebTransfer*, int code, const QString& info) {
            log << QStringLiteral("ErrorInfo %1 %2").arg(code).arg(info);
        };
        engine.OnURLNotFound = [this](TWebTransfer*, const QString& url) { log << QStringLiteral("URLNotFound ") + url; };
        engine.OnConnectError = [this](TWebTransfer*) { log << QStringLiteral("ConnectError"); };
        engine.OnNoNewFileFound = [this](TWebTransfer*, const QString& file, TDateTime current, TDateTime found) {
            log << QStringLiteral("NoNewFileFound %1 %2 %3").arg(file).arg(current, 0, 'f', 6).arg(found, 0, 'f', 6);
        };
        engine.OnCopyProgress = [this](TWebTransfer*, int fileidx, std::int64_t size, std::int64_t total) {
            progress.push_back({fileidx, size, total});
        };
    }

    // The recorded texts that start with prefix.
    QStringList only(const QString& prefix) const
    {
        QStringList result;
        for (const QString& entry : log)
            if (entry.startsWith(prefix))
                result << entry;
        return result;
    }

    QStringList log;
    std::vector<Progress> progress;
};
