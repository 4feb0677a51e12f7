#include "tests/support/FtpServer.h"

#include "tests/support/WaitFor.h"

#include <QDir>
#include <QFile>

namespace {

// Debian's Python carries pyftpdlib; another python3 may come first on PATH.
const char* const Python = "/usr/bin/python3";

QString scriptPath()
{
    return QStringLiteral(KX_TEST_SUPPORT_DIR "/ftp_server.py");
}

} // namespace

FtpServer::FtpServer(Listing listing)
    : FtpServer([listing] {
        Options options;
        options.listing = listing;
        return options;
    }())
{
}

FtpServer::FtpServer(const Options& options)
    : m_work(QDir::tempPath() + QStringLiteral("/kxftp-XXXXXX"))
{
    if (!m_work.isValid() || !QDir(m_work.path()).mkdir(QStringLiteral("root"))) {
        m_error = QStringLiteral("no temporary directory");
        return;
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments{scriptPath(), QStringLiteral("--root"), rootDir(), QStringLiteral("--user"),
                          QString::fromLatin1(User), QStringLiteral("--password"), QString::fromLatin1(Password),
                          QStringLiteral("--events"), m_work.path() + QStringLiteral("/events.log"),
                          QStringLiteral("--commands"), m_work.path() + QStringLiteral("/commands.log")};
    if (options.listing == Listing::Hostile)
        arguments << QStringLiteral("--hostile");
    if (!options.extraListing.isEmpty()) {
        QFile extra(m_work.path() + QStringLiteral("/listing-extra"));
        if (!extra.open(QIODevice::WriteOnly) || extra.write(options.extraListing.join('\n') + '\n') < 0) {
            m_error = QStringLiteral("cannot write the extra listing");
            return;
        }
        arguments << QStringLiteral("--listing-extra") << extra.fileName();
    }
    for (auto reply = options.replies.cbegin(); reply != options.replies.cend(); ++reply)
        arguments << QStringLiteral("--reply") << reply.key() + u'=' + reply.value();
    if (options.endlessListing)
        arguments << QStringLiteral("--endless-listing");
    if (options.throttle > 0)
        arguments << QStringLiteral("--throttle") << QString::number(options.throttle);
    if (options.resetAt >= 0)
        arguments << QStringLiteral("--reset-at") << QString::number(options.resetAt);
    for (const auto& [name, password] : options.extraUsers)
        arguments << QStringLiteral("--extra-user") << name << password;
    if (!options.foreignData.isEmpty())
        arguments << QStringLiteral("--foreign-data") << options.foreignData.join(u',');
    m_process.start(QString::fromLatin1(Python), arguments);
    QByteArray output;
    const auto ready = [&] {
        output += m_process.readAllStandardOutput();
        return output.startsWith("ready ") && output.indexOf('\n') > 0;
    };
    if (waitFor([&] { return ready() || m_process.state() == QProcess::NotRunning; }, 20000) && ready()) {
        m_port = output.mid(6, output.indexOf('\n') - 6).trimmed().toInt();
        return;
    }
    m_error = QStringLiteral("the FTP server did not start: ") + QString::fromLocal8Bit(output);
}

QStringList FtpServer::events() const
{
    QFile events(m_work.path() + QStringLiteral("/events.log"));
    if (!events.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(events.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList FtpServer::commands() const
{
    QFile commands(m_work.path() + QStringLiteral("/commands.log"));
    if (!commands.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(commands.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList FtpServer::logins() const
{
    QStringList result;
    for (const QString& event : events()) {
        if (event.startsWith(QStringLiteral("login ")))
            result << event.mid(6);
    }
    return result;
}

void FtpServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}

FtpServer::~FtpServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}
