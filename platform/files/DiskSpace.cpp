#include "platform/files/DiskSpace.h"

#include <QFile>

#include <limits>

#include <sys/resource.h>
#include <sys/statvfs.h>

namespace platform {

namespace {

constexpr std::int64_t Largest = std::numeric_limits<std::int64_t>::max();

} // namespace

DiskRoom diskRoom(const QString& directory)
{
    DiskRoom room;
    struct statvfs info {};
    const QByteArray path = QFile::encodeName(directory.isEmpty() ? QStringLiteral(".") : directory);
    if (::statvfs(path.constData(), &info) == 0) {
        const unsigned long long blockSize = info.f_frsize ? info.f_frsize : info.f_bsize;
        const unsigned long long blocks = info.f_bavail;
        room.available = blockSize != 0 && blocks > static_cast<unsigned long long>(Largest) / blockSize
            ? Largest
            : static_cast<std::int64_t>(blocks * blockSize);
    }
    rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        room.fileSizeLimit = limit.rlim_cur > static_cast<rlim_t>(Largest) ? Largest
                                                                            : static_cast<std::int64_t>(limit.rlim_cur);
    return room;
}

} // namespace platform
