#pragma once

#include <QString>
#include <QStringList>

// What one FTP operation is about to send to a server: where, as whom, and the remote names
// (directories, file names, patterns, paths) it will put into commands.
struct TFtpRequest {
    QString FTPHost;
    int FTPPort = 21;
    QString FTPUserID;
    QString FTPPassword;
    QStringList RemoteNames;
    // The file the operation is about, as its error 3 names it.
    QString Target;
};

enum TFtpField { ffNone, ffFTPHost, ffFTPUserID, ffFTPPassword, ffRemoteName };

// The first field of the request that would break out of an FTP command line: a CR or LF ends
// the command and starts another one of the sender's choosing, a NUL cuts it short. ffNone
// when every field is safe to send.
TFtpField UnsafeFtpField(const TFtpRequest& Request);

// The key under which a connection is kept for the next job: server, port and login, each
// part kept apart from the next, so that no two different logins or servers share it.
QString FtpConnectionKey(const QString& FTPHost, int FTPPort, const QString& FTPUserID, const QString& FTPPassword);
