#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

void prepareTestEnvironment()
{
    // Without a screen of its own the window-less platform's screen is smaller than the main
    // window's design size, and the window would open fitted to it. Tests see the screen the
    // virtual displays of the end-to-end tests have.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KX_TEST_SUPPORT_DIR "/offscreen-screen.json");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString dir = QDir::tempPath() + QStringLiteral("/kxtest-runtime");
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
    }
    // The tests' servers listen on this machine: a proxy configured for the user must not
    // stand between them and the code under test.
    for (const char* name : {"no_proxy", "NO_PROXY"}) {
        QByteArray hosts = qgetenv(name);
        hosts += QByteArray(hosts.isEmpty() ? "" : ",") + "127.0.0.1,localhost";
        qputenv(name, hosts);
    }
}
