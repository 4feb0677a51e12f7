#pragma once

#include "platform/network/FtpConnection.h"

#include <QString>

#include <memory>

// The FTP connection one operation works on: the engine's kept connection, or one of the
// operation's own. It is given back when the link goes, so no way out of an operation can
// leave open a connection that should close, or drop one that should be kept.
struct TFtpLink {
    // Kept and KeptKey are the engine's kept connection and its key. KeepConnection and
    // Restore say how the connection is given back; an operation may change them until then.
    TFtpLink(std::unique_ptr<platform::FtpConnection>& Kept, QString& KeptKey, bool KeepConnection, bool Restore)
        : KeepConnection(KeepConnection)
        , Restore(Restore)
        , FKept(Kept)
        , FKeptKey(KeptKey)
    {
    }
    ~TFtpLink() { Release(); }
    TFtpLink(const TFtpLink&) = delete;
    TFtpLink& operator=(const TFtpLink&) = delete;

    // Gives the connection back now rather than when the link goes: kept for the next job
    // (back in the directory it was in when Restore is set), or closed and forgotten.
    void Release();

    platform::FtpConnection* Connection = nullptr;
    std::unique_ptr<platform::FtpConnection> Own;
    bool KeepConnection;
    bool Restore;
    // Where the connection was before the operation moved it, for Release to go back.
    bool DirChanged = false;
    QString SavedDir;
    // The directory named in a job's address could not be entered: nothing there is found,
    // rather than a file of the same name in whatever directory the connection was in.
    bool DirMissing = false;

private:
    std::unique_ptr<platform::FtpConnection>& FKept;
    QString& FKeptKey;
};
