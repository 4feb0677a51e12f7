#pragma once

#include "tests/support/TempDir.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVector>

// The scripted test server (scripted_http_server.py) on 127.0.0.1 with a free port, for what
// a plain file server cannot do on demand: demand credentials, leave out Content-Length,
// stall, drop the connection, act as a proxy. Stopped when the object goes.
class ScriptedHttpServer {
public:
    struct Request {
        QString method;
        QString target;
        QMap<QString, QString> headers; // names in lower case
        qint64 bodyLength = -1;         // a POST's or PUT's body as received
        QString bodyMd5;
        QString head;                   // request line and header lines as they came
        int connection = 0;             // which accepted connection it came over, from 1
    };

    // What the server sent for an answer it logs (the /resume route): its status and how
    // many body bytes went out.
    struct Answer {
        QString target;
        int status = 0;
        qint64 sent = 0;
    };

    // With a root folder, the /mirror route serves its files.
    explicit ScriptedHttpServer(const QString& root = {});
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    bool isRunning() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:PORT" followed by path.
    QString url(const QString& path) const;
    // The same server under another host name, as a client sees a different host.
    QString urlAsLocalhost(const QString& path) const;
    // Every request received so far, in order.
    QVector<Request> requests() const;
    // The Authorization header of every request so far, in order; "none" where there was none.
    QStringList authorizations() const;
    // Every logged answer so far, in order. An answer is logged once it was sent.
    QVector<Answer> answers() const;
    // How many connections the server accepted, whether or not a request came on them.
    int connections() const;

    // The Authorization header a client sends for credentials "user:password" with Basic.
    static QString basic(const char* credentials);

private:
    QList<QJsonObject> logEntries() const;

    TempDir m_work;
    QProcess m_process;
    quint16 m_port = 0;
};
