#include "tests/support/WinePrefix.h"

#include "platform/desktop/WineLauncher.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const QString CrossCompiler = QStringLiteral("x86_64-w64-mingw32-g++");

// Runs a program to its end; empty when it exited with 0, otherwise what went wrong and
// what it printed.
QString run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
            int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        const QString problem = program + QStringLiteral(" did not finish: ") + process.errorString();
        process.kill();
        process.waitForFinished(5000);
        return problem;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return program + QStringLiteral(" failed (exit code %1): ").arg(process.exitCode())
            + QString::fromLocal8Bit(process.readAll());
    return {};
}

} // namespace

QString missingWindowsTools()
{
    QStringList missing;
    if (!platform::findWine().found())
        missing << QStringLiteral("Wine (Debian packages wine and wine64)");
    if (QStandardPaths::findExecutable(CrossCompiler).isEmpty())
        missing << QStringLiteral("the MinGW-w64 cross compiler %1 (Debian package g++-mingw-w64-x86-64)").arg(CrossCompiler);
    if (missing.isEmpty())
        return {};
    return QStringLiteral("Missing: ") + missing.join(QStringLiteral(" and "))
        + QStringLiteral(". scripts/bootstrap installs them; set KX_SKIP_WINE=1 to skip the tests that need them.");
}

QString buildBareWindowsProgram(const QString& program, int bits)
{
    const QString source = program + QStringLiteral(".c");
    QFile code(source);
    if (!code.open(QIODevice::WriteOnly) || code.write("void start(void) {}\n") < 0)
        return QStringLiteral("cannot write ") + source;
    code.close();
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (bits == 64)
        return run(CrossCompiler, {QStringLiteral("-x"), QStringLiteral("c"), QStringLiteral("-nostdlib"),
                                   QStringLiteral("-e"), QStringLiteral("start"), QStringLiteral("-o"), program, source},
                   environment, 120000);
    const QString object = program + QStringLiteral(".o");
    if (const QString problem = run(CrossCompiler, {QStringLiteral("-x"), QStringLiteral("c"), QStringLiteral("-m32"),
                                                    QStringLiteral("-c"), QStringLiteral("-o"), object, source},
                                    environment, 120000);
        !problem.isEmpty())
        return problem;
    const QString linker = QStringLiteral("x86_64-w64-mingw32-ld");
    QProcess verbose;
    verbose.start(linker, {QStringLiteral("--verbose")});
    if (!verbose.waitForFinished(30000))
        return linker + QStringLiteral(" --verbose did not finish");
    // The built-in script stands between two lines of "=".
    const QList<QByteArray> parts = verbose.readAllStandardOutput().split('\n');
    QByteArray script;
    int rules = 0;
    for (const QByteArray& line : parts) {
        if (line.startsWith("=========")) {
            ++rules;
            continue;
        }
        if (rules == 1)
            script += line + '\n';
    }
    script.replace("pei-x86-64", "pei-i386").replace("i386:x86-64", "i386");
    const QString scriptPath = program + QStringLiteral(".x");
    QFile scriptFile(scriptPath);
    if (script.isEmpty() || !scriptFile.open(QIODevice::WriteOnly) || scriptFile.write(script) != script.size())
        return QStringLiteral("no linker script for 32-bit programs");
    scriptFile.close();
    return run(linker, {QStringLiteral("-m"), QStringLiteral("i386pe"), QStringLiteral("-T"), scriptPath,
                        QStringLiteral("-e"), QStringLiteral("_start"), QStringLiteral("-o"), program, object},
               environment, 120000);
}

QString buildWindowsProgram(const QString& source, const QString& program)
{
    // Linked statically, so that the program needs no MinGW run-time DLLs in the prefix.
    return run(CrossCompiler,
               {QStringLiteral("-municode"), QStringLiteral("-mwindows"), QStringLiteral("-static"), QStringLiteral("-O2"),
                QStringLiteral("-o"), program, source, QStringLiteral("-lshell32")},
               QProcessEnvironment::systemEnvironment(), 120000);
}

WinePrefix::WinePrefix(const QString& display)
    : m_display(display)
{
    // Wine refuses a prefix that does not belong to the real user, root included. The folder
    // belongs to whoever made it, which differs only when the effective user does.
    if (QFileInfo(m_prefix.path()).ownerId() != ::getuid()
        && ::chown(QFile::encodeName(m_prefix.path()).constData(), ::getuid(), ::getgid()) != 0) {
        m_problem = QStringLiteral("The prefix ") + m_prefix.path() + QStringLiteral(" cannot be given to the user");
        return;
    }
    const QString problem = run(platform::findWine().path, {QStringLiteral("wineboot"), QStringLiteral("-i")}, environment(), 180000);
    if (!problem.isEmpty())
        m_problem = QStringLiteral("wineboot could not initialise the prefix: ") + problem;
    else if (!QFileInfo(m_prefix.filePath(QStringLiteral("drive_c/Program Files"))).isDir())
        m_problem = QStringLiteral("wineboot left no drive C: in ") + m_prefix.path();
}

WinePrefix::~WinePrefix()
{
    const QString wineserver = QStandardPaths::findExecutable(QStringLiteral("wineserver"));
    if (wineserver.isEmpty())
        return;
    const auto tell = [&](const QString& order) {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(wineserver, {order});
        const bool finished = process.waitForFinished(30000);
        if (!finished) {
            process.kill();
            process.waitForFinished(5000);
        }
        return finished;
    };
    // The server ends by itself soon after the last Windows program, and writes the registry
    // out before it goes; killed in the middle of that, it leaves a file behind in the prefix
    // while the temporary directory is being removed. Only a server that stays is killed.
    if (!tell(QStringLiteral("-w"))) {
        tell(QStringLiteral("-k"));
        tell(QStringLiteral("-w"));
    }
}

QProcessEnvironment WinePrefix::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), m_prefix.path());
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    // No dialogs offering to download Mono and Gecko, and no desktop menu entries.
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml=;winemenubuilder.exe=d"));
    return environment;
}
