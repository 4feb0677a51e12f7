#pragma once

#include <QString>
#include <QTemporaryDir>

// A private smbd on 127.0.0.1 with one writable share "data" and one user, for the length of
// a test. Everything it needs lives in a temporary directory; nothing of the system's Samba
// is touched.
class SambaServer {
public:
    static constexpr const char* User = "kxuser";
    static constexpr const char* Password = "kx-secret";

    SambaServer();
    ~SambaServer();
    SambaServer(const SambaServer&) = delete;
    SambaServer& operator=(const SambaServer&) = delete;

    // False when smbd could not be started; error() says why.
    bool isRunning() const { return m_pid > 0; }
    const QString& error() const { return m_error; }
    int port() const { return m_port; }
    // "\\127.0.0.1:PORT\data", as a job names the share.
    QString shareName() const;
    // The share's folder on the local disk.
    QString shareDir() const;

private:
    bool start();
    void stop();

    QTemporaryDir m_dir;
    int m_port = 0;
    long long m_pid = 0;
    QString m_error;
};
