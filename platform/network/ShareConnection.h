#pragma once

#include "platform/network/InternetResult.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <memory>

namespace platform {

// One file opened for reading on a connected share.
class ShareFile {
public:
    ~ShareFile();
    ShareFile(const ShareFile&) = delete;
    ShareFile& operator=(const ShareFile&) = delete;

    // Up to maxSize bytes into data; 0 at the end, -1 on failure.
    std::int64_t read(char* data, std::int64_t maxSize);
    // The file's size and last-write time (UTC); -1 / invalid when they cannot be read.
    std::int64_t size() const;
    QDateTime lastWriteTime() const;

private:
    friend class ShareConnection;
    struct Handle;
    explicit ShareFile(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> m_handle;
};

// A connection to a network share ("\\server\share" or "//server/share", the server
// optionally with ":port") with a user name and password, held for one copy.
class ShareConnection {
public:
    ShareConnection();
    ~ShareConnection();
    ShareConnection(const ShareConnection&) = delete;
    ShareConnection& operator=(const ShareConnection&) = delete;

    // Connects and proves the credentials by opening the share. A silent server gives up
    // after timeoutMs.
    // A failure carries the system error number and its text.
    InternetResult connect(const QString& share, const QString& user, const QString& password, int timeoutMs = 10000);
    // Drops the connection; fails when there is none.
    InternetResult disconnect();
    bool isConnected() const;

    // Opens a file below the share ("dir\file.txt" or "dir/file.txt") for reading.
    Opened<ShareFile> openRead(const QString& relativePath);

    // True when the text names a share the way connect() accepts it.
    static bool isShareName(const QString& text);

private:
    struct Context;
    friend class ShareFile;
    std::shared_ptr<Context> m_context;
};

} // namespace platform
