#pragma once

#include "platform/desktop/StartedProgram.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace platform {

// How handing a file to be opened went. Starting returns as soon as the new process runs;
// a program started with Wine is watched (program), one the desktop opened is not.
struct ProgramStart {
    enum class Status {
        Started,
        WineMissing,  // a Windows program, and no Wine to run it with: nothing was started
        WineUntrusted, // the Wine found could have been put or changed by somebody else: not started
        Wine32Missing, // a 32-bit Windows program, and a Wine that runs only 64-bit ones: not started
        Failed,       // the program or handler could not be started
    };
    Status status = Status::Started;
    QString problem;  // why it was not started, in plain words; empty when started
    // The program Wine runs, told of when it ends; null when it did not start or is not watched.
    std::shared_ptr<StartedProgram> program = {};

    bool started() const { return status == Status::Started; }
};

// True when path names a Windows program by its name (".exe" in any letter case).
bool isWindowsProgram(const QString& path);

// The Wine program that would run a Windows program, and whether it may.
struct WineProgram {
    QString path;     // where it was found; empty when nowhere
    QString problem;  // why it is not started, in plain words; empty when it may be

    bool found() const { return !path.isEmpty(); }
};

// The folders of the distribution's own Wine, looked in before PATH: /usr/bin.
QStringList distributionWineFolders();

// The Wine program: "wine", else "wine64", in the distribution's folders first, then in the
// absolute folders of PATH. The first one found is the one: when it could have been put or
// changed by somebody other than the user and root (whyUntrustedProgram), the problem says
// so, and it is not to be started; no other is looked for.
WineProgram findWine(const QStringList& preferredFolders = distributionWineFolders());

// Starts the Windows program at path with Wine (findWine) and returns without waiting for it;
// the program started is watched until it ends, and runs on when this process ends.
// It runs in the compatibility prefix whose drive C: the start-up probes read (see
// winePrefix()), in the program's own folder, with Wine's debug output off. The path is
// handed over as one argument, never through a shell. A 32-bit program is not handed to a
// Wine known to run none (wineRuns32BitPrograms).
ProgramStart startWithWine(const QString& path, const QStringList& preferredWineFolders = distributionWineFolders());

} // namespace platform
