#include "platform/files/StartCopy.h"

#include "platform/files/PrivateFiles.h"
#include "platform/crypto/Sha256.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {

namespace {

const QString CopyFolderPrefix = QStringLiteral("kaplix-start-");
constexpr std::size_t BlockSize = 1024 * 1024;

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// A file descriptor with one owner, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(Descriptor&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    {
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&&) = delete;

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    // Closes now, for the close's own result (a delayed write error shows there).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Opens the regular file at path for reading, never through a link at its name and never
// waiting on a pipe.
Descriptor openSource(const QString& path)
{
    Descriptor file(::open(encoded(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.isOpen())
        return file;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return Descriptor();
    }
    ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
    return file;
}

// Reads the next block; -1 on failure, 0 at the end.
ssize_t readBlock(int fd, std::vector<char>& block)
{
    for (;;) {
        const ssize_t got = ::read(fd, block.data(), block.size());
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

StartCopy failed(const QString& problem, StartCopy::Status status = StartCopy::Status::Failed)
{
    StartCopy copy;
    copy.status = status;
    copy.problem = problem;
    return copy;
}

// True for a folder this user made for a copy (not a link, not another user's).
bool isOwnCopyFolder(const struct stat& info)
{
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

} // namespace

QString fileSha256(const QString& path)
{
    Descriptor file = openSource(path);
    if (!file.isOpen())
        return {};
    Sha256 digest;
    std::vector<char> block(BlockSize);
    for (;;) {
        const ssize_t got = readBlock(file.get(), block);
        if (got < 0)
            return {};
        if (got == 0)
            return digest.hexResult();
        digest.addData(block.data(), got);
    }
}

StartCopy makeStartCopy(const QString& source, const QString& privateFolder, const QString& expectedSha256)
{
    Descriptor input = openSource(source);
    if (!input.isOpen())
        return failed(QStringLiteral("The file cannot be read: ") + systemReason());
    if (privateFolder.isEmpty())
        return failed(QStringLiteral("There is no private folder to start a copy of the file from"));

    // mkdtemp makes the folder 0700, under a name nobody can have taken before.
    QByteArray folderTemplate = encoded(privateFolder + u'/' + CopyFolderPrefix + QStringLiteral("XXXXXX"));
    if (!::mkdtemp(folderTemplate.data()))
        return failed(QStringLiteral("Cannot create a folder for the copy in ") + privateFolder + QStringLiteral(": ")
                      + systemReason());
    const QString folder = QFile::decodeName(folderTemplate);
    const QString target = folder + u'/' + QFileInfo(source).fileName();
    StartCopy copy;
    copy.path = target;
    const auto discard = [&](const QString& problem, StartCopy::Status status = StartCopy::Status::Failed) {
        removeStartCopy(target);
        return failed(problem, status);
    };

    Descriptor output(::open(encoded(target).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!output.isOpen())
        return discard(QStringLiteral("Cannot create the copy ") + target + QStringLiteral(": ") + systemReason());
    Sha256 digest;
    std::vector<char> block(BlockSize);
    for (;;) {
        const ssize_t got = readBlock(input.get(), block);
        if (got < 0)
            return discard(QStringLiteral("The file cannot be read: ") + systemReason());
        if (got == 0)
            break;
        digest.addData(block.data(), got);
        if (!writeAll(output.get(), block.data(), std::size_t(got)))
            return discard(QStringLiteral("Cannot write the copy ") + target + QStringLiteral(": ") + systemReason());
    }
    if (!output.close())
        return discard(QStringLiteral("Cannot write the copy ") + target + QStringLiteral(": ") + systemReason());

    const QString actual = digest.hexResult();
    if (actual.isEmpty())
        return discard(QStringLiteral("The file's checksum cannot be computed"));
    if (expectedSha256.isEmpty() || actual != expectedSha256)
        return discard(QStringLiteral("The file has changed since it was checked"), StartCopy::Status::Changed);
    // The private folder was checked at start; it is looked at again on the way to the copy.
    if (const QString unsafe = whyUnsafeToRun(target); !unsafe.isEmpty())
        return discard(QStringLiteral("The copy to start cannot be kept private: ") + unsafe);
    copy.status = StartCopy::Status::Made;
    return copy;
}

void removeStartCopy(const QString& copy)
{
    const QFileInfo file(copy);
    const QString folder = file.path();
    struct stat info {};
    if (copy.isEmpty() || !file.dir().dirName().startsWith(CopyFolderPrefix)
        || ::lstat(encoded(folder).constData(), &info) != 0 || !isOwnCopyFolder(info))
        return;
    // Entries are removed, links themselves included, never what they lead to.
    QDir(folder).removeRecursively();
}

int removeStaleStartCopies(const QString& privateFolder, std::int64_t maxAgeSeconds)
{
    if (privateFolder.isEmpty())
        return 0;
    const std::time_t oldest = std::time(nullptr) - std::time_t(maxAgeSeconds);
    int removed = 0;
    const QStringList names = QDir(privateFolder).entryList({CopyFolderPrefix + u'*'},
                                                           QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : names) {
        const QString folder = privateFolder + u'/' + name;
        struct stat info {};
        if (::lstat(encoded(folder).constData(), &info) != 0 || !isOwnCopyFolder(info) || info.st_mtime >= oldest)
            continue;
        if (QDir(folder).removeRecursively())
            ++removed;
    }
    return removed;
}

} // namespace platform
