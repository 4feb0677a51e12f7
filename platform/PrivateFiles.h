#pragma once

#include <QString>

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
