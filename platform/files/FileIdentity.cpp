#include "platform/files/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

namespace platform {

bool isSameFile(const QString& first, const QString& second)
{
    struct stat a {};
    struct stat b {};
    if (first.isEmpty() || second.isEmpty())
        return false;
    if (::stat(QFile::encodeName(first).constData(), &a) != 0 || ::stat(QFile::encodeName(second).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace platform
