#pragma once

#include "platform/desktop/WineLauncher.h"

#include <QString>

namespace platform {

// Opens a file or a folder with the desktop's default handler for it (the shell's "open"
// action). Returns at once, without waiting for the handler; false when no handler could be
// started.
bool openWithDefaultHandler(const QString& path);

// Opens a file as the Windows shell's "open" does for a setup file: a Windows program runs
// with Wine (startWithWine, the distribution's Wine looked for in preferredWineFolders
// first), any other file opens with the desktop's default handler. Never waits for what it
// started.
ProgramStart shellOpen(const QString& path, const QStringList& preferredWineFolders = distributionWineFolders());

} // namespace platform
