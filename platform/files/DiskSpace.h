#pragma once

#include <QString>

#include <cstdint>

namespace platform {

// How much a new file in a directory may hold before the system refuses it.
struct DiskRoom {
    std::int64_t available = -1;     // bytes an unprivileged writer may still use; -1 when unknown
    std::int64_t fileSizeLimit = -1; // this process's limit on the size of a file; -1 for none
};

// The room in directory: the file system's blocks available to unprivileged users
// (statvfs f_bavail * f_frsize) and the process's file-size limit (RLIMIT_FSIZE).
DiskRoom diskRoom(const QString& directory);

} // namespace platform
