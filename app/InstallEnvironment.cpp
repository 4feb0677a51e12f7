#include "app/InstallEnvironment.h"

#include "app/ReleaseState.h"
#include "platform/files/PrivateFiles.h"
#include "platform/desktop/Shell.h"
#include "platform/system/SystemProbes.h"

TInstallEnvironment TInstallEnvironment::FromPlatform()
{
    constexpr int ProgramFilesFolder = 38;
    TInstallEnvironment environment;
    environment.ExecutableDir = platform::executableDir();
    const platform::PrivateTempDir temp = platform::privateTempDir();
    environment.TempDir = temp.path;
    environment.TempDirProblem = temp.problem;
    environment.ProgramFilesFolder = platform::specialFolder(ProgramFilesFolder);
    environment.Windows64Bit = platform::isNative64Bit();
    environment.ShellOpen = [](const QString& Path) { return platform::shellOpen(Path); };
    if (const QString config = platform::privateConfigFolder(); !config.isEmpty())
        environment.StateFile = config + u'/' + TReleaseState::FileName;
    return environment;
}
