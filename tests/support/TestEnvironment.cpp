#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

void prepareTestEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
