#pragma once

#include "transfer/WebTransferTypes.h"

#include <QString>

#include <QStringList>

#include <cstdint>
#include <vector>

// Records what an engine, or a run without a window, reports, in order, as short texts ("FileStart 0", "Error 404",
// "ErrorInfo 404 Returned http error code 404", "CopyDone"). Progress goes to its own list.
struct EngineEvents {
    struct Progress {
        int fileIndex;
        std::int64_t size;
        std::int64_t total;
    };

    template <typename Engine>
    explicit EngineEvents(Engine& engine)
    {
        engine.OnFileStart = [this](auto*, int idx) { log << QStringLiteral("FileStart %1").arg(idx); };
        engine.OnFileDone = [this](auto*, int idx) { log << QStringLiteral("FileDone %1").arg(idx); };
        engine.OnCopyDone = [this](auto*) { log << QStringLiteral("CopyDone"); };
        // Only an engine with a dialog has a Cancel button to report.
        if constexpr (requires { engine.OnCopyCancel; })
            engine.OnCopyCancel = [this](auto*) { log << QStringLiteral("CopyCancel"); };
        engine.OnError = [this](auto*, int code) { log << QStringLiteral("Error %1").arg(code); };
        engine.OnErrorInfo = [this](auto*, int code, const QString& info) {
            log << QStringLiteral("ErrorInfo %1 %2").arg(code).arg(info);
        };
        engine.OnURLNotFound = [this](auto*, const QString& url) { log << QStringLiteral("URLNotFound ") + url; };
        engine.OnConnectError = [this](auto*) { log << QStringLiteral("ConnectError"); };
        engine.OnNoNewFileFound = [this](auto*, const QString& file, TDateTime current, TDateTime found) {
            log << QStringLiteral("NoNewFileFound %1 %2 %3").arg(file).arg(current, 0, 'f', 6).arg(found, 0, 'f', 6);
        };
        engine.OnCopyProgress = [this](auto*, int fileidx, std::int64_t size, std::int64_t total) {
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
