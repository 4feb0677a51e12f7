#pragma once

#include <QString>

namespace platform {

// True when both paths lead to the same file on disk (same device and file number), however
// they are spelled: other letter case on a case-folding file system, "..", links.
bool isSameFile(const QString& first, const QString& second);

} // namespace platform
