#pragma once

#include "tests/support/TempDir.h"

#include <QProcess>
#include <QString>

// nginx serving a directory on 127.0.0.1 with a free port, with its configuration, logs and
// temporary files in a directory of its own. Extra directives go into the server block
// (for instance "location = /latest { return 302 /files/setup-1.2.exe; }"). Stopped when
// the object goes.
class NginxServer {
public:
    // With a certificate and key (PEM files) it speaks HTTPS.
    struct Tls {
        QString certificate;
        QString key;
    };

    explicit NginxServer(const QString& documentRoot, const QString& serverDirectives = {}, const Tls& tls = {});
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    bool isRunning() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:PORT" (or https) followed by path.
    QString url(const QString& path) const;

private:
    bool start(quint16 port, const QString& documentRoot, const QString& serverDirectives);

    Tls m_tls;
    void stop();

    TempDir m_work;
    QProcess m_process;
    quint16 m_port = 0;
};
