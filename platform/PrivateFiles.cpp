#include "platform/PrivateFiles.h"

#include "platform/PathWalk.h"

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

// Who may own what is started or written: the user alone, or root as well (a program of the
// system, which root may change anyway).
enum class Owners { User, UserOrRoot };

// What is wrong with the entry lstat described, as the end of a sentence about it; empty
// when it is the user's own.
QString ownershipProblem(const struct stat& entry, Kind kind, Owners owners = Owners::User)
{
    if (S_ISLNK(entry.st_mode))
        return QStringLiteral("is a link");
    if (kind == Kind::Directory && !S_ISDIR(entry.st_mode))
        return QStringLiteral("is not a directory");
    if (kind == Kind::RegularFile && !S_ISREG(entry.st_mode))
        return QStringLiteral("is not a regular file");
    const bool owned = owners == Owners::User ? entry.st_uid == ::geteuid() : isTrustedOwner(entry);
    if (!owned)
        return QStringLiteral("belongs to another user");
    if (entry.st_mode & WritableByOthers)
        return QStringLiteral("may be changed by others");
    return {};
}

// What is wrong with the end of a walk, as the end of a sentence about the entry: the entry
// itself, or a folder on the way to it that others may change.
QString walkProblem(const PathWalk& walk, Kind kind, Owners owners = Owners::User)
{
    switch (walk.outcome) {
    case PathWalk::Outcome::Reached:
        return ownershipProblem(walk.entry, kind, owners);
    case PathWalk::Outcome::UnsafeFolder:
        return QStringLiteral("lies in the folder ") + walk.folder + QStringLiteral(", which others may change");
    case PathWalk::Outcome::Missing:
    case PathWalk::Outcome::TooManyLinks:
        break;
    }
    return QStringLiteral("cannot be examined");
}

// Why the directory at path is not the user's private one; empty when it is.
QString privateDirectoryProblem(const QString& path)
{
    return walkProblem(walkPath(path, LastLink::Keep), Kind::Directory);
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
    if (QDir::isAbsolutePath(tmpdir) && privateDirectoryProblem(tmpdir).isEmpty())
        return {tmpdir, {}};

    const QString cache = userCacheFolder();
    if (cache.isEmpty())
        return {{}, QStringLiteral("No home folder for a private temporary directory")};
    const QString folder = cache + QStringLiteral("/kaplix-setup");
    const QString name = QStringLiteral("The temporary directory ") + folder + u' ';
    if (!makePrivatePath(folder) || !examine(folder, entry))
        return {{}, name + QStringLiteral("cannot be created")};
    const QString problem = privateDirectoryProblem(folder);
    if (!problem.isEmpty())
        return {{}, name + problem};
    return {folder, {}};
}

QString whyUnsafeToRun(const QString& path)
{
    // Whoever may change a folder on the way can put another file in this one's place after
    // the check.
    const PathWalk walk = walkPath(path, LastLink::Keep);
    if (walk.outcome == PathWalk::Outcome::UnsafeFolder) {
        if (walk.folder == QFileInfo(path).dir().canonicalPath())
            return QStringLiteral("The folder of the file may be changed by others");
        return QStringLiteral("The folder ") + walk.folder + QStringLiteral(" above the file may be changed by others");
    }
    if (!walk.reached())
        return QStringLiteral("The file cannot be examined");
    const QString problem = ownershipProblem(walk.entry, Kind::RegularFile);
    if (!problem.isEmpty())
        return QStringLiteral("The file ") + problem;
    return {};
}

QString whyUntrustedProgram(const QString& path)
{
    return walkProblem(walkPath(path, LastLink::Follow), Kind::RegularFile, Owners::UserOrRoot);
}

} // namespace platform
