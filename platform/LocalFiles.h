#pragma once

#include <QString>

namespace platform {

// Creates a new empty file with a unique hidden name beside path (".name.XXXXXX") and the
// permissions any new file gets (0666 less the umask). Returns its path; empty on failure.
QString createFileBeside(const QString& path);

// Puts source in place of target in one step: target is either the old file or the new one,
// never missing or half written. False when that is not possible.
bool replaceFile(const QString& source, const QString& target);

} // namespace platform
