#include "tests/support/VirtualDisplay.h"

#include "tests/support/WaitFor.h"

#include <QProcessEnvironment>

#include <unistd.h>

VirtualDisplay::VirtualDisplay(QSize screen)
{
    // Each test process asks for display numbers of its own, far from the low ones a server
    // left to pick would take: a number another test's server is just giving up could
    // otherwise be taken twice, and the one going away removes the other's socket. When a
    // number is in use all the same, the server gives up and the next one is tried.
    constexpr int Attempts = 8;
    constexpr int FirstNumber = 100;
    constexpr int Numbers = 20000;
    const int base = static_cast<int>(::getpid() % Numbers);
    for (int attempt = 0; attempt < Attempts && m_name.isEmpty(); ++attempt)
        start(FirstNumber + (base + attempt * 4099) % Numbers, screen);
}

void VirtualDisplay::start(int number, QSize screen)
{
    // Xvfb writes the display number to the pipe once it is ready for clients.
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return;
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.setChildProcessModifier([readEnd = pipeEnds[0]] { ::close(readEnd); });
    m_server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(number), QStringLiteral("-displayfd"), QString::number(pipeEnds[1]), QStringLiteral("-screen"),
                                            QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()), QStringLiteral("-nolisten"),
                                            QStringLiteral("tcp"),
                                            // Without it the server resets whenever its last client
                                            // leaves (an xdotool call), and refuses the program
                                            // that connects during the reset.
                                            QStringLiteral("-noreset")});
    ::close(pipeEnds[1]);
    if (!m_server.waitForStarted(10000)) {
        ::close(pipeEnds[0]);
        return;
    }
    QByteArray ready;
    char c = 0;
    while (::read(pipeEnds[0], &c, 1) == 1 && c != '\n')
        ready += c;
    ::close(pipeEnds[0]);
    if (!ready.isEmpty() && m_server.state() == QProcess::Running) {
        m_name = QStringLiteral(":") + QString::fromLatin1(ready);
        return;
    }
    if (m_server.state() != QProcess::NotRunning)
        m_server.kill();
    m_server.waitForFinished(5000);
}

VirtualDisplay::~VirtualDisplay()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(5000))
        m_server.kill();
    m_server.waitForFinished(5000);
}

QString VirtualDisplay::run(const QString& program, const QStringList& arguments, bool* ok) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_name);
    tool.setProcessEnvironment(environment);
    tool.start(program, arguments);
    const bool finished = tool.waitForFinished(10000);
    if (ok)
        *ok = finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString VirtualDisplay::xdotool(const QStringList& arguments) const
{
    return run(QStringLiteral("xdotool"), arguments);
}

bool VirtualDisplay::setWorkArea(const QRect& area) const
{
    bool ok = false;
    run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-f"), QStringLiteral("_NET_WORKAREA"),
                                  QStringLiteral("32c"), QStringLiteral("-set"), QStringLiteral("_NET_WORKAREA"),
                                  QStringLiteral("%1, %2, %3, %4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height())},
        &ok);
    return ok;
}

QString VirtualDisplay::waitForWindow(const QString& titlePattern, int timeoutMs) const
{
    QString ids;
    // Qt keeps hidden helper windows: only visible ones count.
    const auto shown = [&] {
        ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), titlePattern});
        return !ids.isEmpty();
    };
    return waitFor(shown, timeoutMs) ? ids.section(u'\n', 0, 0) : QString();
}

QPoint VirtualDisplay::windowOrigin(const QString& window) const
{
    return windowGeometry(window).topLeft();
}

QRect VirtualDisplay::windowGeometry(const QString& window) const
{
    const QString shell = xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    QRect geometry;
    for (const QString& line : shell.split(u'\n')) {
        const QString value = line.section(u'=', 1);
        if (line.startsWith(QStringLiteral("X=")))
            geometry.moveLeft(value.toInt());
        else if (line.startsWith(QStringLiteral("Y=")))
            geometry.moveTop(value.toInt());
        else if (line.startsWith(QStringLiteral("WIDTH=")))
            geometry.setWidth(value.toInt());
        else if (line.startsWith(QStringLiteral("HEIGHT=")))
            geometry.setHeight(value.toInt());
    }
    return geometry;
}

bool VirtualDisplay::screenshot(const QString& path) const
{
    QProcess import;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_name);
    import.setProcessEnvironment(environment);
    import.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path});
    return import.waitForFinished(20000) && import.exitCode() == 0;
}
