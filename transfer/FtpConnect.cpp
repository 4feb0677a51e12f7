#include "transfer/TransferRun.h"

#include "platform/network/InternetSession.h"
#include "transfer/FtpLink.h"
#include "transfer/FtpRequest.h"
#include "transfer/JobRun.h"
#include "transfer/UrlHelpers.h"

TFtpLink TTransferRun::NewFtpLink(bool KeepConnection, bool Restore)
{
    return TFtpLink(FFTPconnect, FPrevConnect, KeepConnection, Restore);
}

bool TTransferRun::ConnectFtp(TFtpLink& Link, const TFtpRequest& Request, bool Reuse, bool ClearPrevTarget)
{
    // Nothing goes to the server, not even on a kept connection, while a field could smuggle
    // in a command of its own.
    switch (UnsafeFtpField(Request)) {
    case ffNone:
        break;
    case ffFTPHost:
    case ffFTPUserID:
    case ffFTPPassword:
        ReportError(weConnect, Request.FTPHost);
        return false;
    case ffRemoteName:
        ReportError(weTargetCreate, Request.Target);
        return false;
    }
    const QString& FTPHost = Request.FTPHost;
    const QString key = FtpConnectionKey(FTPHost, Request.FTPPort, Request.FTPUserID, Request.FTPPassword);
    if (Reuse && !FPrevConnect.isEmpty() && FPrevConnect == key && FFTPconnect && FFTPconnect->isUsable()) {
        Link.Connection = FFTPconnect.get();
        return true;
    }
    if (ClearPrevTarget)
        FPrevTarget.clear();
    std::unique_ptr<platform::FtpConnection> connection;
    platform::InternetResult reason;
    if (FHinternet) {
        // Port numbers are 16 bits wide on the wire.
        platform::Opened<platform::FtpConnection> opened = FHinternet->connectFtp(
            FTPHost, static_cast<quint16>(Request.FTPPort), Request.FTPUserID, Request.FTPPassword, FTPPassive);
        connection = std::move(opened.handle);
        reason = opened.result;
    }
    if (!connection) {
        // A Cancel during the wait is no fault of the server.
        if (!FCancelled) {
            // Whether the server was out of reach or refused the login decides on another attempt.
            if (TAttemptFailure* failure = UnnotedFailure())
                failure->InternetCode = reason.code;
            ReportError(weConnect, FTPHost);
        }
        return false;
    }
    if (Link.KeepConnection) {
        FFTPconnect = std::move(connection);
        FPrevConnect = key;
        Link.Connection = FFTPconnect.get();
    } else {
        Link.Own = std::move(connection);
        Link.Connection = Link.Own.get();
    }
    return true;
}

void TFtpLink::Release()
{
    if (!Connection)
        return;
    if (!KeepConnection) {
        if (Own)
            Own.reset();
        else if (FKept.get() == Connection)
            FKept.reset();
        FKeptKey.clear();
    } else {
        if (Restore && DirChanged)
            Connection->setCurrentDirectory(SavedDir);
        // A connection of the operation's own that is to be kept becomes the kept one.
        if (Own)
            FKept = std::move(Own);
    }
    Connection = nullptr;
    DirChanged = false;
}

void TTransferRun::DropKeptFtp()
{
    FFTPconnect.reset();
    FPrevConnect.clear();
}

QString TTransferRun::EnterUrlDir(TFtpLink& Link, const QString& URL)
{
    const qsizetype slash = URL.lastIndexOf(u'/');
    if (slash >= 0) {
        const QString dir = URL.left(slash + 1);
        Link.SavedDir = Link.Connection->currentDirectory();
        Link.DirChanged = true;
        // A wrong directory shows up as a file that is not found.
        Link.DirMissing = !Link.Connection->setCurrentDirectory(dir).ok;
    }
    return NameFromURL(URL);
}

namespace {

bool IsRelativeRemoteDir(const QString& Dir)
{
    return !SlashPath(Dir).startsWith(u'/');
}

} // namespace

// A relative directory is taken from the login directory, not from wherever an earlier upload
// left a kept connection: two uploads to "a" and then "b" must not write into "a/b".
bool TTransferRun::SetRemoteDir(TFtpLink& Link, const QString& Dir)
{
    if (Dir.isEmpty())
        return false;
    QString path = SlashPath(Dir);
    if (IsRelativeRemoteDir(Dir)) {
        const QString login = Link.Connection->loginDirectory();
        path = (login.endsWith(u'/') ? login : login + u'/') + path;
    }
    return Link.Connection->setCurrentDirectory(path).ok;
}

bool TTransferRun::EnterRemoteDir(TFtpLink& Link, const QString& Dir)
{
    FPrevTarget.clear();
    if (IsRelativeRemoteDir(Dir) && !Link.Connection->setCurrentDirectory(Link.Connection->loginDirectory()).ok)
        return false;
    bool entered = true;
    const QStringList segments = SlashPath(Dir).split(u'/', Qt::SkipEmptyParts);
    for (const QString& segment : segments) {
        if (Link.Connection->setCurrentDirectory(segment).ok)
            continue;
        if (!Link.Connection->createDirectory(segment).ok || !Link.Connection->setCurrentDirectory(segment).ok) {
            entered = false;
            break;
        }
    }
    return entered;
}
