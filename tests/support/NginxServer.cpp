#include "tests/support/NginxServer.h"

#include "tests/support/FreePort.h"
#include "tests/support/WaitFor.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

NginxServer::NginxServer(const QString& documentRoot, const QString& serverDirectives, const Tls& tls)
    : m_tls(tls)
{
    // Another process may take the free port between the probe and nginx's bind: try again.
    for (int attempt = 0; attempt < 5 && m_port == 0; ++attempt) {
        const quint16 port = freeTcpPort();
        if (port != 0 && start(port, documentRoot, serverDirectives))
            m_port = port;
    }
}

NginxServer::~NginxServer()
{
    stop();
}

QString NginxServer::url(const QString& path) const
{
    const QString scheme = m_tls.certificate.isEmpty() ? QStringLiteral("http") : QStringLiteral("https");
    return QStringLiteral("%1://127.0.0.1:%2%3").arg(scheme).arg(m_port).arg(path);
}

bool NginxServer::start(quint16 port, const QString& documentRoot, const QString& serverDirectives)
{
    stop();
    const QString work = m_work.path();
    for (const char* dir : {"body", "proxy", "fastcgi", "uwsgi", "scgi"})
        QDir(work).mkpath(QString::fromLatin1(dir));
    const QString tlsDirectives = m_tls.certificate.isEmpty()
        ? QString()
        : QStringLiteral(" ssl;\n    ssl_certificate %1;\n    ssl_certificate_key %2").arg(m_tls.certificate, m_tls.key);
    // Workers of a root master would otherwise run as nobody and could not read the files.
    const QString user = geteuid() == 0 ? QStringLiteral("user root;\n") : QString();
    const QString config = QStringLiteral(
        "daemon off;\n"
        "master_process off;\n"
        "%1"
        "pid %2/nginx.pid;\n"
        "error_log %2/error.log;\n"
        "events { worker_connections 64; }\n"
        "http {\n"
        "  access_log %2/access.log;\n"
        "  client_body_temp_path %2/body;\n"
        "  proxy_temp_path %2/proxy;\n"
        "  fastcgi_temp_path %2/fastcgi;\n"
        "  uwsgi_temp_path %2/uwsgi;\n"
        "  scgi_temp_path %2/scgi;\n"
        "  default_type application/octet-stream;\n"
        "  sendfile on;\n"
        "  server {\n"
        "    listen 127.0.0.1:%3%6;\n"
        "    root %4;\n"
        "    %5\n"
        "  }\n"
        "}\n")
        .arg(user, work)
        .arg(port)
        .arg(documentRoot, serverDirectives, tlsDirectives);
    const QString configPath = m_work.write(QStringLiteral("nginx.conf"), config.toUtf8());

    m_process.setProgram(QStringLiteral("nginx"));
    m_process.setArguments({QStringLiteral("-c"), configPath, QStringLiteral("-p"), work + u'/',
                            QStringLiteral("-e"), work + QStringLiteral("/error.log")});
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return false;
    const bool answers = waitFor([&] { return m_process.state() == QProcess::NotRunning || tcpPortAnswers(port); }, 10000);
    if (m_process.state() == QProcess::NotRunning)
        return false;
    if (answers)
        return true;
    stop();
    return false;
}

void NginxServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}
