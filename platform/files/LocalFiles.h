#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

class QFile;

namespace platform {

// What a path names, following symbolic links. Pipes, sockets and devices are Special.
enum class FileKind { Missing, Regular, Directory, Special };
FileKind fileKind(const QString& path);

enum class SourceOpen { Opened, NotRegular, Failed };

// Opens a regular file read-only into file. Anything else is refused before it is opened:
// opening a pipe waits for a writer, and a device such as /dev/zero never ends. A directory
// or a missing file is Failed.
SourceOpen openRegularFile(QFile& file, const QString& path);

// True when path names an existing regular file that this user may not write. Such a file
// is not ours to replace, even where the directory would allow it.
bool isProtectedFile(const QString& path);

// A new file that takes the place of its target only when it is complete, so the target is
// at every moment either the old file or the whole new one; a crash, a full disk or a
// discard leaves the old file as it was, and a symbolic link at the target is replaced
// rather than written through.
//
// Where the file system allows it the file has no name while it is written (O_TMPFILE), so a
// killed process leaves nothing behind. Elsewhere it is a hidden file beside the target,
// named ".NAME.XXXXXX.kxpart" (see isPendingFileName); removeStalePendingFiles clears such
// leftovers. The file is written through the descriptor that created it.
class PendingFile {
public:
    enum class Naming {
        Unnamed, // unnamed where the file system allows it, else a hidden name
        Named,   // always the hidden name
    };

    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Starts an empty file for target in target's directory. False (errno set) when it cannot
    // be made, or when target is a protected file (EACCES).
    bool create(const QString& target, Naming naming = Naming::Unnamed);
    // Starts an empty file for target under the given hidden name, to be kept for a later
    // run (see keep). A leftover regular file of this user there is replaced; anything else
    // there (a link, another user's file) is left alone and refused.
    bool createAt(const QString& target, const QString& path);
    // Continues the file a former run kept at path for target: opened for appending, never
    // through a link, and only a regular file this user owns, with no other name, that
    // nobody else may write. read() then gives its bytes from the start.
    bool reopen(const QString& target, const QString& path);
    // All size bytes or false: a full disk or a file-size limit refuses the rest.
    bool write(const char* data, std::int64_t size);
    // Puts the file in place of the target, with the target's access rights when it replaces
    // a regular file and those of any new file otherwise. Whatever the outcome, the pending
    // file is gone afterwards.
    bool commit();
    // Drops the file; the target stays as it was.
    void discard();
    // Closes the file and leaves it under its hidden name for a later reopen; false (and the
    // file dropped) when it has no name or the close failed.
    bool keep();
    // Reads from the file's current read position (the start after reopen); -1 on failure.
    std::int64_t read(char* data, std::int64_t maxSize);

    bool isOpen() const { return m_fd >= 0; }
    // The hidden name while one is in use; empty for an unnamed file.
    const QString& namedPath() const { return m_namedPath; }

private:
    // Closes an unnamed file that was linked straight to its target; a failed close takes
    // it away again.
    bool closeLinked(const QByteArray& target);

    int m_fd = -1;
    QString m_target;
    QString m_namedPath;
};

// A small file only this user may read or write, at path (never through a link): a
// leftover regular file of this user there is replaced, anything else refuses.
bool writePrivateFile(const QString& path, const QByteArray& data);
// Puts data at path in one step: a hidden file beside it (see isPendingFileName), only this
// user may read or write, is written, flushed to the disk and renamed over path. Whoever
// reads path sees the old contents or the new, never a part; a failure (errno set) leaves the
// old file as it was and no hidden file behind. A link at path is replaced, never followed.
bool replacePrivateFile(const QString& path, const QByteArray& data);
// The contents of path when it is a regular file this user owns, with no other name, that
// nobody else may write, and no larger than maxSize; false otherwise.
bool readPrivateFile(const QString& path, std::int64_t maxSize, QByteArray& data);
// The size of path when it is a file readPrivateFile would read (not a link); -1 otherwise.
std::int64_t privateFileSize(const QString& path);
// Removes path when it is a regular file of this user (never what a link points to).
void removeOwnFile(const QString& path);

// True for a name of the form PendingFile gives its hidden files.
bool isPendingFileName(const QString& name);

// Removes the pending files in directory that a crash left behind: regular files (never
// what a symbolic link points to) of this user whose name has the pending form and that were
// last written more than maxAgeSeconds ago. Returns how many went.
int removeStalePendingFiles(const QString& directory, std::int64_t maxAgeSeconds = 24 * 60 * 60);

} // namespace platform
