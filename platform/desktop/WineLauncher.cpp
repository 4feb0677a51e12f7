#include "platform/desktop/WineLauncher.h"

#include "platform/files/PrivateFiles.h"
#include "platform/system/SystemProbes.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace platform {

bool isWindowsProgram(const QString& path)
{
    return path.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive);
}

QStringList distributionWineFolders()
{
    return {QStringLiteral("/usr/bin")};
}

WineProgram findWine(const QStringList& preferredFolders)
{
    // Debian's "wine" picks the 64- or 32-bit loader for the program; a system with only the
    // 64-bit loader may have just "wine64".
    // Only absolute folders of PATH are searched: an empty or relative entry stands for the
    // working directory, where anybody's "wine" could lie.
    QStringList pathFolders;
    for (const QString& folder : qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder))
            pathFolders << folder;
    }
    for (const QStringList& folders : {preferredFolders, pathFolders}) {
        if (folders.isEmpty())
            continue;
        for (const QString& name : {QStringLiteral("wine"), QStringLiteral("wine64")}) {
            const QString found = QStandardPaths::findExecutable(name, folders);
            if (found.isEmpty())
                continue;
            // It runs with all the user's rights, as the setup program does.
            const QString problem = whyUntrustedProgram(found);
            if (problem.isEmpty())
                return {found, {}};
            return {found, QStringLiteral("The Wine program ") + found + u' ' + problem};
        }
    }
    return {};
}

ProgramStart startWithWine(const QString& path, const QStringList& preferredWineFolders)
{
    const WineProgram wine = findWine(preferredWineFolders);
    if (!wine.found())
        return {ProgramStart::Status::WineMissing, QStringLiteral("Wine is not installed")};
    if (!wine.problem.isEmpty())
        return {ProgramStart::Status::WineUntrusted, wine.problem};

    // An absolute path can never be taken for one of Wine's own options.
    const QFileInfo program(path);
    QProcess process;
    process.setProgram(wine.path);
    process.setArguments({program.absoluteFilePath()});
    process.setWorkingDirectory(program.absolutePath());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), winePrefix());
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    // Detached: the setup program outlives the assistant and is never waited for. The call
    // returns once the new process has been executed, or failed to be.
    if (!process.startDetached())
        return {ProgramStart::Status::Failed, QStringLiteral("Wine could not be started: ") + process.errorString()};
    return {};
}

} // namespace platform
