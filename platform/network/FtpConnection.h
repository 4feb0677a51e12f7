#pragma once

#include "platform/network/FtpListing.h"
#include "platform/network/InternetRequest.h"
#include "platform/network/InternetResult.h"
#include "platform/network/InternetUpload.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class SessionCore;

// One logged-in FTP connection of a session. Commands, listings and file transfers of the
// object go over the same control connection while it is idle; it is closed (QUIT) when the
// object goes. Remote paths are resolved against the connection's own current directory, so
// what the server's working directory happens to be between requests does not matter.
class FtpConnection {
public:
    ~FtpConnection();
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;

    // False once the session that opened the connection is gone: it must not be used then.
    bool isUsable() const;

    // The current remote directory, as the server names it (absolute).
    QString currentDirectory() const;
    // The directory the server put the connection in at login.
    QString loginDirectory() const { return m_loginDir; }
    // Changes to dir (absolute or relative to the current one); fails when the server refuses.
    InternetResult setCurrentDirectory(const QString& dir);
    // Creates dir (absolute or relative to the current directory).
    InternetResult createDirectory(const QString& dir);
    // Deletes a file (absolute or relative to the current directory).
    InternetResult deleteFile(const QString& name);

    // The entries of the current directory whose names match pattern ("*" and "?" stand for
    // any text and any one character; a name without them matches only itself), in the
    // server's order. A pattern with a directory part lists that directory. An empty list with
    // a success means nothing matched; a failure means the listing could not be read. Lines
    // the parser does not understand are passed over.
    InternetResult findFiles(const QString& pattern, std::vector<FtpFindData>& entries);

    // Opens a remote file for reading, a block at a time; none when it cannot be read.
    Opened<InternetRequest> openForReading(const QString& name, bool ascii);
    // The size the server announced for the file opened last for reading; -1 when unknown.
    std::int64_t lastOpenedSize() const { return m_lastSize; }
    // Creates (or replaces) a remote file and opens it for writing; begin() has been done.
    Opened<InternetUpload> openForWriting(const QString& name, bool ascii);

private:
    friend class InternetSession;
    FtpConnection(std::shared_ptr<SessionCore> own, std::weak_ptr<SessionCore> session, const QString& host, int port,
                  const QString& user, const QString& password, bool passive);

    InternetResult login();
    // Sends raw commands after the login (made first when needed); replies receives the final
    // reply line of each. A refused command does not fail the request.
    InternetResult runCommands(const QList<QByteArray>& commands, QList<QByteArray>* replies = nullptr);
    // The same, failing when the server refused any of the commands.
    InternetResult runCommandsAllAccepted(const QList<QByteArray>& commands, QList<QByteArray>* replies = nullptr);
    QString absolutePath(const QString& path) const;
    QByteArray urlFor(const QString& absolutePath) const;
    void applyOptions(struct RequestState& state, const QByteArray& url) const;

    std::shared_ptr<SessionCore> m_core;
    std::weak_ptr<SessionCore> m_session;
    QByteArray m_base;
    QByteArray m_user;
    QByteArray m_password;
    bool m_passive = false;
    QString m_dir;
    QString m_loginDir;
    std::int64_t m_lastSize = -1;
};

} // namespace platform
