#pragma once

#include "platform/FtpConnection.h"

#include <QString>

#include <memory>

// The FTP connection one operation works on: the engine's kept connection, or one of the
// operation's own that closes when the operation releases it.
struct TFtpLink {
    platform::FtpConnection* Connection = nullptr;
    std::unique_ptr<platform::FtpConnection> Own;
    // Where the connection was before the operation moved it, for ReleaseFtp to go back.
    bool DirChanged = false;
    QString SavedDir;
    // The directory named in a job's address could not be entered: nothing there is found,
    // rather than a file of the same name in whatever directory the connection was in.
    bool DirMissing = false;
};
