#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr mode_t WritableByOthers = S_IWGRP | S_IWOTH;

enum class Kind { Directory, RegularFile };

// What is wrong with the entry lstat described, as the end of a sentence about it; empty
// when it is the user's own.
QString ownershipProblem(const struct stat& entry, Kind kind)
{
    if (S_ISLNK(entry.st_mode))
        return QStringLiteral("is a link");
    if (kind == Kind::Directory && !S_ISDIR(entry.st_mode))
        return QStringLiteral("is not a directory");
    if (kind == Kind::RegularFile && !S_ISREG(entry.st_mode))
        return QStringLiteral("is not a regular file");
    if (entry.st_uid != ::geteuid())
        return QStringLiteral("belongs to another user");
    if (entry.st_mode & WritableByOthers)
        return QStringLiteral("may be changed by others");
    return {};
}

bool examine(const QString& path, struct stat& entry)
{
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &entry) == 0;
}

QString userHome()
{
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty())
        return home;
    const struct passwd* user = ::getpwuid(::geteuid());
    return user && user->pw_dir ? QFile::decodeName(user->pw_dir) : QString();
}

QString userCacheFolder()
{
    // A relative XDG_CACHE_HOME is invalid and to be ignored, by the XDG base-directory rules.
    const QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(cache))
        return QDir::cleanPath(cache);
    const QString home = userHome();
    return home.isEmpty() ? QString() : QDir::cleanPath(home + QStringLiteral("/.cache"));
}

// mkdir -p, every folder it creates readable and writable by the user only.
bool makePrivatePath(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), S_IRWXU) == 0 || errno == EEXIST)
        return true;
    if (errno != ENOENT)
        return false;
    const QString parent = QFileInfo(path).path();
    if (parent == path || !makePrivatePath(parent))
        return false;
    return ::mkdir(native.constData(), S_IRWXU) == 0 || errno == EEXIST;
}

} // namespace

PrivateTempDir privateTempDir()
{
    const QString tmpdir = QDir::cleanPath(qEnvironmentVariable("TMPDIR"));
    struct stat entry {};
    if (QDir::isAbsolutePath(tmpdir) && examine(tmpdir, entry) && ownershipProblem(entry, Kind::Directory).isEmpty())
        return {tmpdir, {}};

    const QString cache = userCacheFolder();
    if (cache.isEmpty())
        return {{}, QStringLiteral("No home folder for a private temporary directory")};
    const QString folder = cache + QStringLiteral("/kaplix-setup");
    const QString name = QStringLiteral("The temporary directory ") + folder + u' ';
    if (!makePrivatePath(folder) || !examine(folder, entry))
        return {{}, name + QStringLiteral("cannot be created")};
    const QString problem = ownershipProblem(entry, Kind::Directory);
    if (!problem.isEmpty())
        return {{}, name + problem};
    return {folder, {}};
}

QString whyUnsafeToRun(const QString& path)
{
    struct stat file {};
    if (!examine(path, file))
        return QStringLiteral("The file cannot be examined");
    const QString problem = ownershipProblem(file, Kind::RegularFile);
    if (!problem.isEmpty())
        return QStringLiteral("The file ") + problem;

    // Whoever may write the folder can put another file in this one's place after the check,
    // unless the sticky bit keeps them to their own entries (as in /tmp). Root owns many
    // folders and is trusted anyway.
    struct stat folder {};
    if (::stat(QFile::encodeName(QFileInfo(path).path()).constData(), &folder) != 0)
        return QStringLiteral("The folder of the file cannot be examined");
    const bool ownerTrusted = folder.st_uid == ::geteuid() || folder.st_uid == 0;
    const bool othersKeptOut = !(folder.st_mode & WritableByOthers) || (folder.st_mode & S_ISVTX);
    if (!ownerTrusted || !othersKeptOut)
        return QStringLiteral("The folder of the file may be changed by others");
    return {};
}

} // namespace platform
