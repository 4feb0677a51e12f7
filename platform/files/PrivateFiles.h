#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace platform {

// What only the user can change. Other local users share the machine: a file or folder they
// may write, or one a link lets them point elsewhere, is not the user's own.

struct PrivateTempDir {
    QString path;     // without a trailing separator; empty when no private folder could be had
    QString problem;  // why not, in plain words, when path is empty
};
// The user's temporary directory: $TMPDIR when it is a real directory of the user's that
// nobody else may write; otherwise the folder "kaplix-setup" in the user's cache folder
// ($XDG_CACHE_HOME, else ~/.cache), created 0700 when missing and checked the same way.
// The shared /tmp, where anybody can leave a file, is never used; nor is a folder that lies
// in one others may change on the way from "/" (see PathWalk), since they could move it
// away and put their own in its place.
PrivateTempDir privateTempDir();

// The program's own folder in the user's configuration folder: "kaplix-setup" in
// $XDG_CONFIG_HOME, else in ~/.config. Only the path, nothing is made; empty without a home.
QString privateConfigFolder();

// A small file of the program's state, as readStateFile found it.
struct StateFileRead {
    enum class Status {
        missing,  // neither the file nor its folder is there yet
        read,     // data holds the file
        refused,  // there, but not the user's own private file, too large, or unreadable
    };
    Status status = Status::missing;
    QByteArray data;
    QString problem;  // why refused, in plain words naming the file or folder
};
// Reads the file at path when it and its folder are the user's own and nobody else may change
// them (not links, not writable by group or others), and it holds at most maxSize bytes.
StateFileRead readStateFile(const QString& path, std::int64_t maxSize);
// Puts data at path in one step (replacePrivateFile): the file readable by the user only, its
// folder made readable by the user only when missing, and only into a folder of the user's
// own. Empty when written, else why not in plain words; the old file then stays as it was.
QString writeStateFile(const QString& path, const QByteArray& data);

// Why starting the file at path would run something another user could have put or changed
// there, in plain words; empty when only the user can. A file is safe to run when it is a
// regular file (not a link, wherever it leads), the user owns it, neither group nor others
// may write it, and no folder on the way to it from "/" lets anybody else replace it.
QString whyUnsafeToRun(const QString& path);

// Why a program of the system or the user's at path (links followed) could have been put
// or changed there by somebody else, as the end of a sentence about it ("may be changed by
// others"); empty when only the user and root could. The rules of whyUnsafeToRun, except
// that root may own it and that it may be reached through links.
QString whyUntrustedProgram(const QString& path);

} // namespace platform
