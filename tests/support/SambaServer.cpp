#include "tests/support/SambaServer.h"

#include "platform/network/ShareConnection.h"
#include "tests/support/FreePort.h"
#include "tests/support/WaitFor.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <cerrno>
#include <csignal>

namespace {

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

SambaServer::SambaServer()
    : m_dir(QDir::tempPath() + QStringLiteral("/kxsmb-XXXXXX"))
{
    if (!start())
        stop();
}

SambaServer::~SambaServer()
{
    stop();
}

QString SambaServer::shareName() const
{
    return QStringLiteral("\\\\127.0.0.1:%1\\data").arg(m_port);
}

QString SambaServer::shareDir() const
{
    return m_dir.filePath(QStringLiteral("share"));
}

bool SambaServer::start()
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary directory");
        return false;
    }
    const QDir root(m_dir.path());
    for (const char* sub : {"share", "private", "lock", "state", "cache", "pid", "ncalrpc", "log"})
        root.mkpath(QString::fromLatin1(sub));
    m_port = freeTcpPort();

    const QString conf = root.filePath(QStringLiteral("smb.conf"));
    const QString base = root.path();
    const QString config = QStringLiteral(
        "[global]\n"
        "  smb ports = %1\n"
        "  interfaces = 127.0.0.1\n"
        "  bind interfaces only = yes\n"
        "  disable netbios = yes\n"
        "  server role = standalone server\n"
        "  server min protocol = SMB2\n"
        "  map to guest = never\n"
        "  private dir = %2/private\n"
        "  lock directory = %2/lock\n"
        "  state directory = %2/state\n"
        "  cache directory = %2/cache\n"
        "  pid directory = %2/pid\n"
        "  ncalrpc dir = %2/ncalrpc\n"
        "  log file = %2/log/log.%m\n"
        "  passdb backend = tdbsam:%2/private/passdb.tdb\n"
        "  username map = %2/usermap\n"
        "  load printers = no\n"
        "  printing = bsd\n"
        "  printcap name = /dev/null\n"
        "  disable spoolss = yes\n"
        "[data]\n"
        "  path = %2/share\n"
        "  read only = no\n"
        "  guest ok = no\n"
        "  force user = root\n").arg(m_port).arg(base);
    // Samba users need a Unix account: "nobody" serves, under the name the tests use.
    if (!writeFile(conf, config.toUtf8())
        || !writeFile(root.filePath(QStringLiteral("usermap")), QByteArray("nobody = ") + User + "\n")) {
        m_error = QStringLiteral("cannot write the configuration");
        return false;
    }

    QProcess pdbedit;
    pdbedit.start(QStringLiteral("pdbedit"), {QStringLiteral("-s"), conf, QStringLiteral("-a"), QStringLiteral("-u"),
                                              QStringLiteral("nobody"), QStringLiteral("-t")});
    pdbedit.write(QByteArray(Password) + "\n" + Password + "\n");
    pdbedit.closeWriteChannel();
    if (!pdbedit.waitForFinished(30000) || pdbedit.exitCode() != 0) {
        m_error = QStringLiteral("pdbedit failed: ") + QString::fromLocal8Bit(pdbedit.readAllStandardError());
        return false;
    }

    // smbd makes itself the leader of a new process group, which stop() ends as a whole.
    qint64 pid = 0;
    if (!QProcess::startDetached(QStringLiteral("smbd"), {QStringLiteral("--foreground"), QStringLiteral("-s"), conf},
                                 base, &pid)) {
        m_error = QStringLiteral("cannot start smbd");
        return false;
    }
    m_pid = pid;

    // smbd does not complain when its port is taken: only a login proves it serves.
    const auto servesALogin = [this] {
        platform::ShareConnection probe;
        return probe.connect(shareName(), QString::fromLatin1(User), QString::fromLatin1(Password), 2000).ok;
    };
    if (waitFor(servesALogin, 20000))
        return true;
    m_error = QStringLiteral("smbd did not accept a login on port %1").arg(m_port);
    return false;
}

void SambaServer::stop()
{
    if (m_pid <= 0)
        return;
    const pid_t group = pid_t(m_pid);
    ::kill(-group, SIGTERM);
    ::kill(group, SIGTERM);
    (void)waitFor([group] { return ::kill(-group, 0) != 0 && ::kill(group, 0) != 0; }, 10000);
    ::kill(-group, SIGKILL);
    ::kill(group, SIGKILL);
    m_pid = 0;
}
