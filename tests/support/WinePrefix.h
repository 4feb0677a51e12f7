#pragma once

#include "tests/support/TempDir.h"

#include <QProcessEnvironment>
#include <QString>

// What is missing on this machine for tests that build and run a Windows program, in plain
// words with what to do about it; empty when Wine and the MinGW-w64 cross compiler are there.
QString missingWindowsTools();

// Builds a 64-bit Windows program from one C++ source with the MinGW-w64 cross compiler.
// Empty when it was built; otherwise what the compiler said.
QString buildWindowsProgram(const QString& source, const QString& program);

// Builds the smallest Windows program of the width given (32: PE32, 64: PE32+), one that
// does nothing, with the MinGW-w64 cross tools: a 32-bit one is linked with the linker's own
// script for 64-bit programs, turned to 32 bits. Empty when it was built; otherwise what the
// tools said.
QString buildBareWindowsProgram(const QString& program, int bits);

// A Wine prefix of its own in a temporary directory, made ready by wineboot, and a home
// folder for Wine so that the user's own is never touched. When it goes, its wineserver is
// stopped, and every Windows program still running in the prefix with it.
class WinePrefix {
public:
    // Initialises the prefix; Wine's windows go to the X display given (":N"). Takes from
    // 10 to 30 seconds.
    explicit WinePrefix(const QString& display);
    ~WinePrefix();
    WinePrefix(const WinePrefix&) = delete;
    WinePrefix& operator=(const WinePrefix&) = delete;

    bool isReady() const { return m_problem.isEmpty(); }
    // Why the prefix could not be made ready.
    const QString& problem() const { return m_problem; }
    const QString& path() const { return m_prefix.path(); }

    // What a program started in this prefix needs in its environment: WINEPREFIX, DISPLAY,
    // HOME, no installers for Mono or Gecko and no menu entries.
    QProcessEnvironment environment() const;

private:
    QString m_display;
    TempDir m_prefix;
    TempDir m_home;
    QString m_problem;
};
