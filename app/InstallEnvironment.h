#pragma once

#include "platform/desktop/WineLauncher.h"

#include <QDateTime>
#include <QString>

#include <functional>

// What the assistant learns about the machine before its window exists, and how it hands a
// file to the shell. The program reads it from the platform once at start; tests hand in
// their own.
struct TInstallEnvironment {
    QString ExecutableDir;       // directory of the running program, no trailing separator
    QString TempDir;             // the user's private temporary directory; empty when none
    QString TempDirProblem;      // why there is none, in plain words
    QString ProgramFilesFolder;  // the shell's program-files folder; empty when unknown
    bool Windows64Bit = false;
    // Opens a file the way the shell's "open" does, without waiting, and says whether it
    // started; unassigned opens nothing.
    std::function<platform::ProgramStart(const QString& Path)> ShellOpen;
    // Told of each setup file Install has checked, just before the copy that starts is made
    // from it; unassigned does nothing. Whatever happens to the file from here on, what starts
    // is what was checked.
    std::function<void(const QString& Path)> OnSetupFileChecked;
    // The file that keeps what the assistant remembers between runs (TReleaseState); empty
    // when the user has no configuration folder.
    QString StateFile;
    // The time now; unassigned reads the clock.
    std::function<QDateTime()> Now;

    static TInstallEnvironment FromPlatform();
};
