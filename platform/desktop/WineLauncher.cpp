#include "platform/desktop/WineLauncher.h"

#include "platform/desktop/WindowsProgram.h"
#include "platform/desktop/WineChild.h"
#include "platform/files/PrivateFiles.h"
#include "platform/system/SystemProbes.h"

#include <QDir>
#include <QFileInfo>
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
    if (windowsProgramKind(path) == WindowsProgramKind::Bits32 && !wineRuns32BitPrograms(wine.path))
        return {ProgramStart::Status::Wine32Missing,
                QStringLiteral("The Wine program ") + wine.path + QStringLiteral(" runs no 32-bit Windows program")};

    // An absolute path can never be taken for one of Wine's own options.
    const QFileInfo program(path);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), winePrefix());
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    // Returns once the new process has been executed, or failed to be.
    WineChild::Spawned spawned =
        WineChild::spawn(wine.path, {program.absoluteFilePath()}, program.absolutePath(), environment);
    if (!spawned.child)
        return {ProgramStart::Status::Failed, spawned.problem};
    return {ProgramStart::Status::Started, {}, std::move(spawned.child)};
}

} // namespace platform
