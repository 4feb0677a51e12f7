#include "transfer/FtpRequest.h"

#include <algorithm>

namespace {

bool BreaksCommandLine(const QString& Text)
{
    return std::any_of(Text.cbegin(), Text.cend(),
                       [](QChar c) { return c == u'\r' || c == u'\n' || c == QChar(0); });
}

} // namespace

TFtpField UnsafeFtpField(const TFtpRequest& Request)
{
    if (BreaksCommandLine(Request.FTPHost))
        return ffFTPHost;
    if (BreaksCommandLine(Request.FTPUserID))
        return ffFTPUserID;
    if (BreaksCommandLine(Request.FTPPassword))
        return ffFTPPassword;
    if (std::any_of(Request.RemoteNames.cbegin(), Request.RemoteNames.cend(), BreaksCommandLine))
        return ffRemoteName;
    return ffNone;
}

QString FtpConnectionKey(const QString& FTPHost, int FTPPort, const QString& FTPUserID, const QString& FTPPassword)
{
    // Each text goes with its length, so ("ab", "c") and ("a", "bc") stay two keys. The
    // port is taken as it goes on the wire, 16 bits wide.
    QString key;
    for (const QString& part : {FTPHost, FTPUserID, FTPPassword})
        key += QString::number(part.size()) + u':' + part;
    return key + QString::number(static_cast<quint16>(FTPPort));
}
