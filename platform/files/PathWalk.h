#pragma once

#include <QString>

#include <sys/stat.h>

namespace platform {

// The way from "/" to an entry, one folder at a time, with every link on the way followed.
// Whoever may change a folder on the way may put another entry at the end of it: another
// folder, another file, a link that leads elsewhere. So every folder must belong to the user
// or to root, and nobody else may write it, unless it has the sticky bit (as /tmp has), which
// keeps others to their own entries, and the entry on the way through it belongs to the user
// or to root. A link is as trusted as the folder it lies in; the way to where it leads is
// walked as well.
struct PathWalk {
    enum class Outcome {
        Reached,       // every folder on the way is trusted; entry describes the end
        UnsafeFolder,  // folder is the first one on the way that others could change
        Missing,       // an entry on the way is missing, not a folder, or cannot be read
        TooManyLinks,  // a loop of links, or a chain longer than the system follows
    };
    Outcome outcome = Outcome::Missing;
    // The entry's path with every link followed, when reached.
    QString resolved;
    QString folder;
    // The entry itself (lstat), when reached.
    struct stat entry {};

    bool reached() const { return outcome == Outcome::Reached; }
};

enum class LastLink {
    Keep,    // a link at the end is the entry
    Follow,  // a link at the end is followed to the entry it leads to
};

// Walks an absolute path (a relative one from the working directory).
PathWalk walkPath(const QString& path, LastLink lastLink);

// True when the entry belongs to the user or to root, who may change anything anyway.
bool isTrustedOwner(const struct stat& entry);

} // namespace platform
