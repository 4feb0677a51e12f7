#pragma once

#include <QByteArrayList>
#include <QList>
#include <QMap>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real FTP server (pyftpdlib) on 127.0.0.1 for the length of a test: one user with full
// rights and anonymous read access to a temporary root folder. Active and passive mode
// both work.
class FtpServer {
public:
    static constexpr const char* User = "kxftp";
    static constexpr const char* Password = "kx-ftp-secret";

    enum class Listing { Plain, Hostile };

    struct Options {
        Listing listing = Listing::Plain;
        // Lines every listing shows as well, byte for byte (one entry each).
        QByteArrayList extraListing;
        // Commands answered with the given reply instead of being done ("SIZE" -> "250 fine").
        QMap<QString, QString> replies;
        // Bytes a second the data connections send at most (in bursts); 0 for no limit.
        int throttle = 0;
        // Every listing goes on with made-up entries for as long as the client reads.
        bool endlessListing = false;
        // Every download's data connection is reset after this many bytes; -1 for never.
        qint64 resetAt = -1;
        // Further users (name, password) with full rights to the same root.
        QList<QPair<QString, QString>> extraUsers;
        // Commands ("RETR", "LIST", "STOR") whose active-mode data connection comes from
        // ForeignAddress rather than from the address the client reached the server on.
        QStringList foreignData;
    };

    // Another loopback address, where a stranger on the same network would be.
    static constexpr const char* ForeignAddress = "127.0.0.2";

    // With Listing::Hostile every listing also shows "../evil", "a/b" and an unreadable line.
    explicit FtpServer(Listing listing = Listing::Plain);
    explicit FtpServer(const Options& options);
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    bool isRunning() const { return m_port > 0; }
    const QString& error() const { return m_error; }
    int port() const { return m_port; }
    // The folder the server shows as "/".
    QString rootDir() const { return m_work.path() + QStringLiteral("/root"); }
    // What the server did so far, in order: "login USER" per login, "stor TYPE NAME" per
    // upload (TYPE "a" for ASCII, "i" for binary).
    QStringList events() const;
    // The user names of every successful login so far, in order.
    QStringList logins() const;
    // Every command line the server received so far, in order, as it came. CR, LF, NUL and
    // backslash are written as a backslash and "r", "n", "0" or a second backslash, so that
    // one line is one command.
    QStringList commands() const;
    // Ends the server at once, as a crash would (open connections drop).
    void stop();

private:
    QTemporaryDir m_work;
    QProcess m_process;
    int m_port = 0;
    QString m_error;
};
