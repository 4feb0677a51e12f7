#include "platform/files/LocalFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

const QString PendingSuffix = QStringLiteral(".kxpart");
constexpr int RandomLength = 6;
constexpr int NameMax = 255;

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// ".NAME.XXXXXX.kxpart" beside target, NAME shortened when the whole would be too long.
QString pendingPathFor(const QString& target)
{
    const QFileInfo info(target);
    QString stem = info.fileName();
    const int room = NameMax - 2 - RandomLength - static_cast<int>(PendingSuffix.size());
    while (!stem.isEmpty() && encoded(stem).size() > room)
        stem.chop(1);
    constexpr quint32 Range = 36u * 36 * 36 * 36 * 36 * 36;
    const QString random = QString::number(QRandomGenerator::global()->bounded(Range), 36)
                               .rightJustified(RandomLength, u'0');
    return info.path() + QStringLiteral("/.") + stem + u'.' + random + PendingSuffix;
}

// The access rights a new file gets: 0666 less the process's umask. The umask is read, not
// set and restored, since other threads may create files meanwhile.
mode_t newFileMode()
{
    mode_t mask = 022;
    // One read of the whole status (about 1.5 KiB), without stdio: this may run for every
    // file put in place.
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char status[4096];
        const ssize_t got = ::read(fd, status, sizeof status - 1);
        ::close(fd);
        if (got > 0) {
            status[got] = '\0';
            unsigned value = 0;
            if (const char* line = std::strstr(status, "\nUmask:"); line && std::sscanf(line + 1, "Umask: %o", &value) == 1)
                mask = static_cast<mode_t>(value);
        }
    }
    return 0666 & ~mask;
}

// Gives the unnamed file fd the name path; 0, or -1 with errno (EEXIST when the name is taken).
int linkUnnamed(int fd, const QByteArray& path)
{
    // The direct way: since Linux 6.10 for the process that made the file, before only with
    // privileges (ENOENT otherwise). Else the way through /proc, which needs a lookup of its own.
    if (::linkat(fd, "", AT_FDCWD, path.constData(), AT_EMPTY_PATH) == 0)
        return 0;
    if (errno != ENOENT && errno != EPERM)
        return -1;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, path.constData(), AT_SYMLINK_FOLLOW);
}

bool closeChecked(int& fd)
{
    const int result = ::close(fd);
    fd = -1;
    return result == 0;
}

// Writes all of data to fd; false (errno set) when the file takes less.
bool writeAll(int fd, const QByteArray& data)
{
    const char* next = data.constData();
    std::int64_t left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

// A file nobody else can have prepared or can change: a regular file of this user with no
// other name (a hard link would let its owner keep a way in) that group and others may not write.
bool isOwnPrivateFile(const struct stat& info)
{
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && info.st_nlink == 1 && (info.st_mode & 022) == 0;
}

// Creates path, mode 0600, never through a link. A leftover regular file of this user there
// is removed first; anything else there is not ours to remove (EEXIST).
int createExclusive(const QByteArray& path, int flags)
{
    constexpr int Attempts = 2;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const int fd = ::open(path.constData(), flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
            break;
        ::unlink(path.constData());
    }
    errno = EEXIST;
    return -1;
}

// Opens an existing file of ours (isOwnPrivateFile), never through a link and never waiting
// on a pipe; -1 otherwise.
int openOwnPrivate(const QByteArray& path, int flags)
{
    const int fd = ::open(path.constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !isOwnPrivateFile(info)) {
        ::close(fd);
        errno = EPERM;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

FileKind fileKind(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(encoded(path).constData(), &info) != 0)
        return FileKind::Missing;
    if (S_ISREG(info.st_mode))
        return FileKind::Regular;
    if (S_ISDIR(info.st_mode))
        return FileKind::Directory;
    return FileKind::Special;
}

SourceOpen openRegularFile(QFile& file, const QString& path)
{
    switch (fileKind(path)) {
    case FileKind::Regular:
        break;
    case FileKind::Special:
        return SourceOpen::NotRegular;
    default:
        return SourceOpen::Failed;
    }
    // Opened without blocking and checked again: the name may have been given to a pipe
    // since the look above.
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return SourceOpen::Failed;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return info.st_mode == 0 || S_ISDIR(info.st_mode) ? SourceOpen::Failed : SourceOpen::NotRegular;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return SourceOpen::Failed;
    }
    return SourceOpen::Opened;
}

bool isProtectedFile(const QString& path)
{
    struct stat info {};
    const QByteArray name = encoded(path);
    if (::lstat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

PendingFile::~PendingFile()
{
    discard();
}

bool PendingFile::create(const QString& target, Naming naming)
{
    discard();
    if (isProtectedFile(target)) {
        errno = EACCES;
        return false;
    }
    m_target = target;
    if (naming == Naming::Unnamed) {
        const QString directory = QFileInfo(target).path();
        // Nobody else can reach a file without a name, so it is made with the rights of any new
        // file at once (the umask and a default ACL of the directory applied by the system).
        m_fd = ::open(encoded(directory).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            return true;
        // File systems without unnamed files say so in one of these ways.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return false;
    }
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const QString candidate = pendingPathFor(target);
        m_fd = ::open(encoded(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            m_namedPath = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool PendingFile::createAt(const QString& target, const QString& path)
{
    discard();
    if (isProtectedFile(target)) {
        errno = EACCES;
        return false;
    }
    m_fd = createExclusive(encoded(path), O_WRONLY);
    if (m_fd < 0)
        return false;
    m_target = target;
    m_namedPath = path;
    return true;
}

bool PendingFile::reopen(const QString& target, const QString& path)
{
    discard();
    if (isProtectedFile(target)) {
        errno = EACCES;
        return false;
    }
    m_fd = openOwnPrivate(encoded(path), O_RDWR | O_APPEND);
    if (m_fd < 0)
        return false;
    m_target = target;
    m_namedPath = path;
    return true;
}

std::int64_t PendingFile::read(char* data, std::int64_t maxSize)
{
    if (m_fd < 0)
        return -1;
    for (;;) {
        const ssize_t got = ::read(m_fd, data, static_cast<size_t>(maxSize));
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

bool PendingFile::keep()
{
    if (m_fd < 0 || m_namedPath.isEmpty() || !closeChecked(m_fd)) {
        discard();
        return false;
    }
    m_namedPath.clear();
    m_target.clear();
    return true;
}

bool PendingFile::write(const char* data, std::int64_t size)
{
    if (m_fd < 0)
        return false;
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool PendingFile::commit()
{
    if (m_fd < 0)
        return false;
    const QByteArray target = encoded(m_target);
    // Where nothing is to be replaced, the file takes its name in one step: linking never
    // replaces a file, so a name taken meanwhile, by anything, takes the way below.
    if (m_namedPath.isEmpty() && linkUnnamed(m_fd, target) == 0)
        return closeLinked(target);
    struct stat old {};
    const bool replaces = ::lstat(target.constData(), &old) == 0;
    std::optional<mode_t> mode;
    if (replaces && S_ISREG(old.st_mode)) {
        if (isProtectedFile(m_target)) {
            discard();
            errno = EACCES;
            return false;
        }
        mode = old.st_mode & 0777;
    } else if (!m_namedPath.isEmpty()) {
        mode = newFileMode(); // a named pending file was made private
    }
    if (mode && ::fchmod(m_fd, *mode) != 0) {
        discard();
        return false;
    }

    if (m_namedPath.isEmpty()) {
        // Linking cannot replace an existing file; a hidden name first, then the rename
        // below can, in one step.
        constexpr int Attempts = 100;
        for (int attempt = 0; attempt < Attempts && m_namedPath.isEmpty(); ++attempt) {
            const QString candidate = pendingPathFor(m_target);
            if (linkUnnamed(m_fd, encoded(candidate)) == 0)
                m_namedPath = candidate;
            else if (errno != EEXIST)
                break;
        }
        if (m_namedPath.isEmpty()) {
            discard();
            return false;
        }
    }
    // A failure to write may show only when the file is closed.
    if (!closeChecked(m_fd)) {
        discard();
        return false;
    }
    if (std::rename(encoded(m_namedPath).constData(), target.constData()) != 0) {
        const int error = errno;
        discard();
        errno = error;
        return false;
    }
    m_namedPath.clear();
    m_target.clear();
    return true;
}

bool PendingFile::closeLinked(const QByteArray& target)
{
    struct stat linked {};
    const bool known = ::fstat(m_fd, &linked) == 0;
    if (!closeChecked(m_fd)) {
        // The file is already in place and was not written whole: it goes again, unless
        // the name holds another file by now.
        const int error = errno;
        struct stat there {};
        if (known && ::lstat(target.constData(), &there) == 0 && there.st_dev == linked.st_dev
            && there.st_ino == linked.st_ino)
            ::unlink(target.constData());
        m_target.clear();
        errno = error;
        return false;
    }
    m_target.clear();
    return true;
}

void PendingFile::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_namedPath.isEmpty())
        ::unlink(encoded(m_namedPath).constData());
    m_namedPath.clear();
    m_target.clear();
}

bool writePrivateFile(const QString& path, const QByteArray& data)
{
    const QByteArray name = encoded(path);
    int fd = createExclusive(name, O_WRONLY);
    if (fd < 0)
        return false;
    const bool whole = writeAll(fd, data);
    if (!closeChecked(fd) || !whole) {
        ::unlink(name.constData());
        return false;
    }
    return true;
}

bool replacePrivateFile(const QString& path, const QByteArray& data)
{
    QByteArray pending;
    int fd = -1;
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts && fd < 0; ++attempt) {
        pending = encoded(pendingPathFor(path));
        fd = ::open(pending.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    // Without the flush a crash soon after the rename may leave an empty file under the name.
    bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    int error = errno;
    if (!closeChecked(fd) && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(pending.constData(), encoded(path).constData()) == 0)
        return true;
    if (ok)
        error = errno;
    ::unlink(pending.constData());
    errno = error;
    return false;
}

bool readPrivateFile(const QString& path, std::int64_t maxSize, QByteArray& data)
{
    data.clear();
    const int fd = openOwnPrivate(encoded(path), O_RDONLY);
    if (fd < 0)
        return false;
    char block[4096];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(fd, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || data.size() + got > maxSize) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        data.append(block, got);
    }
    ::close(fd);
    if (!ok)
        data.clear();
    return ok;
}

std::int64_t privateFileSize(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::lstat(encoded(path).constData(), &info) != 0 || !isOwnPrivateFile(info))
        return -1;
    return info.st_size;
}

void removeOwnFile(const QString& path)
{
    const QByteArray name = encoded(path);
    struct stat info {};
    if (!path.isEmpty() && ::lstat(name.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
        ::unlink(name.constData());
}

bool isPendingFileName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.[0-9a-z]{%1}%2$")
                                                .arg(RandomLength)
                                                .arg(QRegularExpression::escape(PendingSuffix)),
                                            QRegularExpression::DotMatchesEverythingOption);
    return pattern.match(name).hasMatch();
}

int removeStalePendingFiles(const QString& directory, std::int64_t maxAgeSeconds)
{
    const int dirFd = ::open(encoded(directory.isEmpty() ? QStringLiteral(".") : directory).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return 0;
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return 0;
    }
    const std::int64_t oldest = static_cast<std::int64_t>(std::time(nullptr)) - maxAgeSeconds;
    int removed = 0;
    // Every download looks here, and a folder may hold thousands of files: most names are
    // passed over by their ending before anything costlier.
    const QByteArray suffix = PendingSuffix.toLatin1();
    while (const dirent* entry = ::readdir(dir)) {
        if (!QByteArrayView(entry->d_name).endsWith(suffix) || !isPendingFileName(QFile::decodeName(entry->d_name)))
            continue;
        struct stat info {};
        if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid() || info.st_mtime >= oldest)
            continue;
        if (::unlinkat(dirFd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir); // closes dirFd too
    return removed;
}

} // namespace platform
