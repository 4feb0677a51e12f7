#include "tests/support/AccessibilityBus.h"

#include "tests/support/WaitFor.h"

#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

constexpr int Patience = 20000;
const QString LauncherPath = QStringLiteral("/usr/libexec/at-spi-bus-launcher");

} // namespace

AccessibilityBus::AccessibilityBus(const QString& displayName)
{
    if (startSessionBus())
        startLauncher(displayName);
}

AccessibilityBus::~AccessibilityBus()
{
    // The launcher stops the accessibility bus it started; then the session bus goes.
    stop(m_launcher);
    stop(m_sessionBus);
}

bool AccessibilityBus::startSessionBus()
{
    m_sessionBus.setProcessChannelMode(QProcess::SeparateChannels);
    m_sessionBus.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                        QStringLiteral("--print-address=1")});
    if (!m_sessionBus.waitForStarted(Patience)) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + m_sessionBus.errorString();
        return false;
    }
    // The daemon prints its address once it listens.
    const bool printed = waitFor(
        [this] {
            m_sessionBus.waitForReadyRead(50);
            return m_sessionBus.canReadLine() || m_sessionBus.state() != QProcess::Running;
        },
        Patience);
    if (printed && m_sessionBus.canReadLine())
        m_address = QString::fromLocal8Bit(m_sessionBus.readLine()).trimmed();
    if (m_address.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon gave no address: ") + QString::fromLocal8Bit(m_sessionBus.readAllStandardError());
        return false;
    }
    return true;
}

bool AccessibilityBus::startLauncher(const QString& displayName)
{
    if (!QFileInfo(LauncherPath).isExecutable()) {
        m_error = LauncherPath + QStringLiteral(" is missing (package at-spi2-core)");
        return false;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    environment.insert(QStringLiteral("DISPLAY"), displayName);
    m_launcher.setProcessEnvironment(environment);
    m_launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_launcher.start(LauncherPath, {QStringLiteral("--launch-immediately")});
    if (!m_launcher.waitForStarted(Patience)) {
        m_error = QStringLiteral("at-spi-bus-launcher did not start: ") + m_launcher.errorString();
        return false;
    }
    // Ready once it answers for the accessibility bus on the session bus.
    QString reply;
    const auto answers = [&] {
        if (m_launcher.state() != QProcess::Running)
            return true;
        QProcess ask;
        ask.setProcessEnvironment(environment);
        ask.start(QStringLiteral("dbus-send"),
                  {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--dest=org.a11y.Bus"),
                   QStringLiteral("/org/a11y/bus"), QStringLiteral("org.a11y.Bus.GetAddress")});
        ask.waitForFinished(5000);
        reply = QString::fromLocal8Bit(ask.readAllStandardOutput());
        return ask.exitStatus() == QProcess::NormalExit && ask.exitCode() == 0 && reply.contains(QStringLiteral("unix:"));
    };
    if (!waitFor(answers, Patience) || m_launcher.state() != QProcess::Running) {
        m_error = QStringLiteral("at-spi-bus-launcher gave no accessibility bus");
        return false;
    }
    return true;
}

void AccessibilityBus::stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(5000);
}
