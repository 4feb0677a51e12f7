#pragma once

#include <QString>

#include <cstdint>

namespace platform {

// The SHA-256 of the regular file at path (never what a link there leads to), as 64
// lower-case hexadecimal digits; empty when it cannot be read.
QString fileSha256(const QString& path);

// A copy of a program made to be started. The original may lie where somebody could swap it
// between its check and its start; the copy lies in a new folder of its own, readable and
// writable by the user only, inside the user's private folder, and holds exactly the bytes
// that were checked.
struct StartCopy {
    enum class Status {
        Made,
        Changed,  // the file's bytes are not the ones checked
        Failed,   // no copy could be made, or it could be changed by others
    };
    Status status = Status::Failed;
    QString path;     // the copy, when made
    QString problem;  // why not, in plain words

    bool made() const { return status == Status::Made; }
};

// Copies the regular file at source (never through a link at its name) into a new folder
// ("kaplix-start-XXXXXX", mode 0700) in privateFolder under the same name, hashing the
// bytes on their way. The copy is kept only when their SHA-256 is expectedSha256 (lower-case
// hexadecimal) and no folder on the way to it lets anybody else replace it; otherwise
// nothing is left behind.
StartCopy makeStartCopy(const QString& source, const QString& privateFolder, const QString& expectedSha256);

// Removes a copy that was not started, with its folder.
void removeStartCopy(const QString& copy);

// Removes the folders of earlier copies in privateFolder that nothing has changed for more
// than maxAgeSeconds, with what the programs started from them left there. A started
// program is never waited for, so its copy cannot go when it ends; it goes here, later.
// Only folders of this user with the copies' name are touched, never what a link leads to.
// Returns how many went.
int removeStaleStartCopies(const QString& privateFolder, std::int64_t maxAgeSeconds);

} // namespace platform
