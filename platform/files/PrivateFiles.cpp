#include "platform/files/PrivateFiles.h"

#include "platform/files/LocalFiles.h"
#include "platform/files/PathWalk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
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

// The XDG base directory that variable names, else the folder under the home that the
// XDG base-directory rules give in its place.
QString userBaseFolder(const char* variable, const QString& inHome)
{
    // A relative value is invalid and to be ignored, by the XDG base-directory rules.
    const QString folder = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(folder))
        return QDir::cleanPath(folder);
    const QString home = userHome();
    return home.isEmpty() ? QString() : QDir::cleanPath(home + u'/' + inHome);
}

const QString ProgramFolder = QStringLiteral("kaplix-setup");

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

    const QString cache = userBaseFolder("XDG_CACHE_HOME", QStringLiteral(".cache"));
    if (cache.isEmpty())
        return {{}, QStringLiteral("No home folder for a private temporary directory")};
    const QString folder = cache + u'/' + ProgramFolder;
    const QString name = QStringLiteral("The temporary directory ") + folder + u' ';
    if (!makePrivatePath(folder) || !examine(folder, entry))
        return {{}, name + QStringLiteral("cannot be created")};
    const QString problem = privateDirectoryProblem(folder);
    if (!problem.isEmpty())
        return {{}, name + problem};
    return {folder, {}};
}

QString privateConfigFolder()
{
    const QString config = userBaseFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
    return config.isEmpty() ? QString() : config + u'/' + ProgramFolder;
}

StateFileRead readStateFile(const QString& path, std::int64_t maxSize)
{
    StateFileRead result;
    const QString folder = QFileInfo(path).path();
    struct stat entry {};
    if (!examine(folder, entry)) {
        if (errno == ENOENT)
            return result;
        result.status = StateFileRead::Status::refused;
        result.problem = QStringLiteral("The folder ") + folder + QStringLiteral(" cannot be examined");
        return result;
    }
    result.status = StateFileRead::Status::refused;
    if (const QString problem = ownershipProblem(entry, Kind::Directory); !problem.isEmpty()) {
        result.problem = QStringLiteral("The folder ") + folder + u' ' + problem;
        return result;
    }
    const QString name = QStringLiteral("The file ") + path + u' ';
    if (!examine(path, entry)) {
        if (errno == ENOENT) {
            result.status = StateFileRead::Status::missing;
            return result;
        }
        result.problem = name + QStringLiteral("cannot be examined");
        return result;
    }
    if (const QString problem = ownershipProblem(entry, Kind::RegularFile); !problem.isEmpty())
        result.problem = name + problem;
    else if (entry.st_nlink != 1)
        result.problem = name + QStringLiteral("has other names");
    else if (entry.st_size > maxSize)
        result.problem = name + QStringLiteral("is larger than %1 bytes").arg(maxSize);
    else if (!readPrivateFile(path, maxSize, result.data))
        result.problem = name + QStringLiteral("cannot be read: ") + QString::fromLocal8Bit(std::strerror(errno));
    else
        result.status = StateFileRead::Status::read;
    return result;
}

QString writeStateFile(const QString& path, const QByteArray& data)
{
    const QString folder = QFileInfo(path).path();
    struct stat entry {};
    if (!makePrivatePath(folder) || !examine(folder, entry))
        return QStringLiteral("The folder ") + folder + QStringLiteral(" cannot be created");
    if (const QString problem = ownershipProblem(entry, Kind::Directory); !problem.isEmpty())
        return QStringLiteral("The folder ") + folder + u' ' + problem;
    if (!replacePrivateFile(path, data))
        return QStringLiteral("The file ") + path + QStringLiteral(" cannot be written: ")
            + QString::fromLocal8Bit(std::strerror(errno));
    return {};
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
