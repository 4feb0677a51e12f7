#pragma once

#include <QString>

// What the assistant learns about the machine before its window exists. The program reads it
// from the platform once at start; tests hand in their own.
struct TInstallEnvironment {
    QString ExecutableDir;       // directory of the running program, no trailing separator
    QString TempDir;             // the system temporary directory; empty when unknown
    QString ProgramFilesFolder;  // the shell's program-files folder; empty when unknown
    bool Windows64Bit = false;

    static TInstallEnvironment FromPlatform();
};
