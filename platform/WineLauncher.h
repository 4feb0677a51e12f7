#pragma once

#include <QString>

namespace platform {

// How handing a file to be opened went. Starting returns as soon as the new process runs;
// what the program does afterwards is not known here.
struct ProgramStart {
    enum class Status {
        Started,
        WineMissing,  // a Windows program, and no Wine to run it with: nothing was started
        Failed,       // the program or handler could not be started
    };
    Status status = Status::Started;
    QString problem;  // why it was not started, in plain words; empty when started

    bool started() const { return status == Status::Started; }
};

// True when path names a Windows program by its name (".exe" in any letter case).
bool isWindowsProgram(const QString& path);

// The Wine program in an absolute folder of PATH ("wine", else "wine64"); empty when
// neither is there.
QString findWine();

// Starts the Windows program at path with Wine and returns without waiting for it. It runs in
// the compatibility prefix whose drive C: the start-up probes read (see winePrefix()), in the
// program's own folder, with Wine's debug output off. The path is handed over as one argument,
// never through a shell.
ProgramStart startWithWine(const QString& path);

} // namespace platform
