#pragma once

#include <QString>

namespace platform {

// What a file is as a Windows program, told by its headers, never by its name.
enum class WindowsProgramKind {
    NotAProgram, // no Windows program header (or an unreadable file)
    Bits32,      // PE32: most setup programs, also many installers of 64-bit software
    Bits64,      // PE32+
};

WindowsProgramKind windowsProgramKind(const QString& path);

// False only where the Wine program at winePath is known to run no 32-bit Windows program:
// a distribution's Wine without its 32-bit part (its 64-bit loader "lib/wine/wine64" beside
// no 32-bit loader "lib/wine/wine"), or a Wine that is "wine64" alone. Any other Wine is
// left to try: new builds run 32-bit programs with their 64-bit part.
bool wineRuns32BitPrograms(const QString& winePath);

} // namespace platform
