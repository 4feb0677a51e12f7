#include "tests/support/ScriptedHttpServer.h"

#include "tests/support/WaitFor.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#ifndef KX_TEST_SUPPORT_DIR
#error "KX_TEST_SUPPORT_DIR must name the folder of the test servers' scripts"
#endif

ScriptedHttpServer::ScriptedHttpServer(const QString& root)
{
    QStringList arguments = {QStringLiteral(KX_TEST_SUPPORT_DIR "/scripted_http_server.py"),
                             m_work.filePath(QStringLiteral("requests.log"))};
    if (!root.isEmpty())
        arguments << root;
    m_process.setProgram(QStringLiteral("/usr/bin/python3"));
    m_process.setArguments(arguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return;
    QByteArray output;
    (void)waitFor([&] {
        output += m_process.readAllStandardOutput();
        return output.contains('\n') || m_process.state() == QProcess::NotRunning;
    }, 10000);
    if (output.startsWith("PORT "))
        m_port = static_cast<quint16>(output.mid(5).trimmed().toUInt());
}

ScriptedHttpServer::~ScriptedHttpServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString ScriptedHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QString ScriptedHttpServer::urlAsLocalhost(const QString& path) const
{
    return QStringLiteral("http://localhost:%1%2").arg(m_port).arg(path);
}

QList<QJsonObject> ScriptedHttpServer::logEntries() const
{
    QList<QJsonObject> entries;
    QFile log(m_work.filePath(QStringLiteral("requests.log")));
    if (!log.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QJsonObject entry = QJsonDocument::fromJson(line).object();
        if (!entry.isEmpty())
            entries.append(entry);
    }
    return entries;
}

QVector<ScriptedHttpServer::Request> ScriptedHttpServer::requests() const
{
    QVector<Request> result;
    for (const QJsonObject& entry : logEntries()) {
        if (!entry.contains(QStringLiteral("method")))
            continue;
        Request request;
        request.method = entry.value(QStringLiteral("method")).toString();
        request.target = entry.value(QStringLiteral("target")).toString();
        request.bodyLength = entry.value(QStringLiteral("bodyLength")).toInteger(-1);
        request.bodyMd5 = entry.value(QStringLiteral("bodyMd5")).toString();
        request.head = entry.value(QStringLiteral("head")).toString();
        request.connection = entry.value(QStringLiteral("connectionNumber")).toInt();
        const QJsonObject headers = entry.value(QStringLiteral("headers")).toObject();
        for (auto it = headers.begin(); it != headers.end(); ++it)
            request.headers.insert(it.key(), it.value().toString());
        result.append(request);
    }
    return result;
}

QStringList ScriptedHttpServer::authorizations() const
{
    QStringList result;
    for (const Request& request : requests())
        result << request.headers.value(QStringLiteral("authorization"), QStringLiteral("none"));
    return result;
}

QString ScriptedHttpServer::basic(const char* credentials)
{
    return QStringLiteral("Basic ") + QString::fromLatin1(QByteArray(credentials).toBase64());
}

QVector<ScriptedHttpServer::Answer> ScriptedHttpServer::answers() const
{
    QVector<Answer> result;
    for (const QJsonObject& entry : logEntries()) {
        if (entry.contains(QStringLiteral("answered")))
            result.append({entry.value(QStringLiteral("answered")).toString(), entry.value(QStringLiteral("status")).toInt(),
                           entry.value(QStringLiteral("sent")).toInteger()});
    }
    return result;
}

int ScriptedHttpServer::connections() const
{
    int count = 0;
    for (const QJsonObject& entry : logEntries())
        count += entry.contains(QStringLiteral("connection")) ? 1 : 0;
    return count;
}
