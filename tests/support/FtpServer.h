#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real FTP server (pyftpdlib) on 127.0.0.1 for the length of a test: one user with full
// rights and anonymous read access to a temporary root folder. Active and passive mode
// both work.
class FtpServer {
public:
    static constexpr const char* User = "kxftp";
    static constexpr const char* Password = "kx-ftp-secret";

    FtpServer();
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    bool isRunning() const { return m_port > 0; }
    const QString& error() const { return m_error; }
    int port() const { return m_port; }
    // The folder the server shows as "/".
    QString rootDir() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
    QProcess m_process;
    int m_port = 0;
    QString m_error;
};
