#pragma once

#include <QString>

namespace platform {

// Opens a file or a folder with the desktop's default handler for it (the shell's "open"
// action). Returns at once, without waiting for the handler; false when no handler could be
// started.
bool openWithDefaultHandler(const QString& path);

} // namespace platform
