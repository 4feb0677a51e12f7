#include "app/InstallEnvironment.h"

#include "platform/SystemProbes.h"

TInstallEnvironment TInstallEnvironment::FromPlatform()
{
    constexpr int ProgramFilesFolder = 38;
    TInstallEnvironment environment;
    environment.ExecutableDir = platform::executableDir();
    environment.TempDir = platform::tempDir();
    environment.ProgramFilesFolder = platform::specialFolder(ProgramFilesFolder);
    environment.Windows64Bit = platform::isNative64Bit();
    return environment;
}
