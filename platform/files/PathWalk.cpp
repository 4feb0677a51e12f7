#include "platform/files/PathWalk.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <climits>
#include <unistd.h>

namespace platform {

namespace {

// What Linux follows before it gives up with ELOOP.
constexpr int MaxLinks = 40;

bool examine(const QString& path, struct stat& entry)
{
    return ::lstat(QFile::encodeName(path).constData(), &entry) == 0;
}

QString joined(const QStringList& folders)
{
    return u'/' + folders.join(u'/');
}

// Whether others may replace the entry in folder: they may write the folder, and no sticky
// bit keeps them from entries that are not theirs.
bool othersMayReplace(const struct stat& folder, const struct stat& entry)
{
    if (!(folder.st_mode & (S_IWGRP | S_IWOTH)))
        return false;
    return !(folder.st_mode & S_ISVTX) || !isTrustedOwner(entry);
}

QString linkTarget(const QString& path)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    if (length <= 0 || length == ssize_t(sizeof target))
        return {};
    return QFile::decodeName(QByteArray(target, length));
}

PathWalk stopped(PathWalk::Outcome outcome, const QString& folder = {})
{
    PathWalk walk;
    walk.outcome = outcome;
    walk.folder = folder;
    return walk;
}

} // namespace

bool isTrustedOwner(const struct stat& entry)
{
    return entry.st_uid == ::geteuid() || entry.st_uid == 0;
}

PathWalk walkPath(const QString& path, LastLink lastLink)
{
    if (path.isEmpty())
        return stopped(PathWalk::Outcome::Missing);
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path;
    // The names still to walk, and the real folders walked so far (no links among them, so
    // ".." simply goes back one).
    QStringList pending = absolute.split(u'/', Qt::SkipEmptyParts);
    QStringList folders;
    struct stat folder {};
    if (!examine(QStringLiteral("/"), folder))
        return stopped(PathWalk::Outcome::Missing);
    if (!isTrustedOwner(folder))
        return stopped(PathWalk::Outcome::UnsafeFolder, QStringLiteral("/"));

    int links = 0;
    while (!pending.isEmpty()) {
        const QString name = pending.takeFirst();
        if (name == u'.')
            continue;
        if (name == QStringLiteral("..")) {
            if (!folders.isEmpty())
                folders.removeLast();
            if (!examine(joined(folders), folder))
                return stopped(PathWalk::Outcome::Missing);
            continue;
        }
        const QString current = joined(folders);
        const QString entryPath = joined(folders + QStringList{name});
        struct stat entry {};
        if (!examine(entryPath, entry))
            return stopped(PathWalk::Outcome::Missing);
        const bool last = pending.isEmpty();
        const bool follow = S_ISLNK(entry.st_mode) && (!last || lastLink == LastLink::Follow);
        // Another user's folder in a sticky one is that folder's fault, told below.
        const bool foreignFolderInSticky = (folder.st_mode & S_ISVTX) && !last && S_ISDIR(entry.st_mode);
        if (othersMayReplace(folder, entry) && !foreignFolderInSticky)
            return stopped(PathWalk::Outcome::UnsafeFolder, current);

        if (follow) {
            if (++links > MaxLinks)
                return stopped(PathWalk::Outcome::TooManyLinks);
            const QString target = linkTarget(entryPath);
            if (target.isEmpty())
                return stopped(PathWalk::Outcome::Missing);
            if (target.startsWith(u'/')) {
                folders.clear();
                if (!examine(QStringLiteral("/"), folder))
                    return stopped(PathWalk::Outcome::Missing);
            }
            pending = target.split(u'/', Qt::SkipEmptyParts) + pending;
            continue;
        }
        if (last) {
            PathWalk walk;
            walk.outcome = PathWalk::Outcome::Reached;
            walk.resolved = entryPath;
            walk.entry = entry;
            return walk;
        }
        if (!S_ISDIR(entry.st_mode))
            return stopped(PathWalk::Outcome::Missing);
        // Its owner may change it whatever its access rights say.
        if (!isTrustedOwner(entry))
            return stopped(PathWalk::Outcome::UnsafeFolder, entryPath);
        folders << name;
        folder = entry;
    }

    // The path was "/" itself, or came back to it.
    PathWalk walk;
    walk.outcome = PathWalk::Outcome::Reached;
    walk.resolved = joined(folders);
    walk.entry = folder;
    return walk;
}

} // namespace platform
