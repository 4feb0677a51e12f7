#include "platform/network/ShareConnection.h"

#include "platform/network/SmbClientLibrary.h"

#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

namespace {

// "\\server\share" or "//server/share" split into server and share; empty when not a share.
struct ShareName {
    QString server;
    QString share;
};

ShareName parseShareName(const QString& text)
{
    QString name = text;
    name.replace(u'\\', u'/');
    if (!name.startsWith(QStringLiteral("//")))
        return {};
    const QStringList parts = name.mid(2).split(u'/', Qt::SkipEmptyParts);
    if (parts.size() != 2)
        return {};
    return {parts[0], parts[1]};
}

QString encoded(const QString& component)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(component));
}

InternetResult failure(int code)
{
    return InternetResult::failure(code, QString::fromLocal8Bit(std::strerror(code)));
}

} // namespace

struct ShareConnection::Context {
    const SmbClientLibrary* smbc = nullptr;
    SMBCCTX* smb = nullptr;
    QByteArray user;
    QByteArray password;
    QString baseUrl; // smb://server[:port]/share

    ~Context()
    {
        if (smb)
            smbc->freeContext(smb, 1);
    }

    static void authenticate(SMBCCTX* smb, const char*, const char*, char* workgroup, int workgroupSize, char* user,
                             int userSize, char* password, int passwordSize)
    {
        auto* self = static_cast<Context*>(smbClientLibrary()->getOptionUserData(smb));
        if (workgroupSize > 0)
            workgroup[0] = '\0';
        std::snprintf(user, std::size_t(userSize), "%s", self->user.constData());
        std::snprintf(password, std::size_t(passwordSize), "%s", self->password.constData());
    }
};

// A file keeps its connection's context alive, so closing it is safe whenever it happens.
struct ShareFile::Handle {
    std::shared_ptr<ShareConnection::Context> context;
    SMBCCTX* smb = nullptr;
    SMBCFILE* file = nullptr;

    ~Handle()
    {
        if (file)
            context->smbc->getFunctionClose(smb)(smb, file);
    }
};

ShareFile::ShareFile(std::unique_ptr<Handle> handle)
    : m_handle(std::move(handle))
{
}

ShareFile::~ShareFile() = default;

std::int64_t ShareFile::read(char* data, std::int64_t maxSize)
{
    const ssize_t n = m_handle->context->smbc->getFunctionRead(m_handle->smb)(m_handle->smb, m_handle->file, data, std::size_t(maxSize));
    return n < 0 ? -1 : std::int64_t(n);
}

std::int64_t ShareFile::size() const
{
    struct stat info {};
    if (m_handle->context->smbc->getFunctionFstat(m_handle->smb)(m_handle->smb, m_handle->file, &info) < 0)
        return -1;
    return std::int64_t(info.st_size);
}

QDateTime ShareFile::lastWriteTime() const
{
    struct stat info {};
    if (m_handle->context->smbc->getFunctionFstat(m_handle->smb)(m_handle->smb, m_handle->file, &info) < 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(info.st_mtime, Qt::UTC);
}

ShareConnection::ShareConnection() = default;

ShareConnection::~ShareConnection() = default;

bool ShareConnection::isShareName(const QString& text)
{
    return !parseShareName(text).server.isEmpty();
}

bool ShareConnection::isConnected() const
{
    return m_context != nullptr;
}

InternetResult ShareConnection::connect(const QString& share, const QString& user, const QString& password, int timeoutMs)
{
    m_context.reset();
    const ShareName name = parseShareName(share);
    if (name.server.isEmpty())
        return failure(EINVAL);

    const char* why = nullptr;
    const SmbClientLibrary* smbc = smbClientLibrary(&why);
    if (!smbc)
        return InternetResult::failure(ENOSYS, QStringLiteral("Network shares cannot be used: %1")
                                                   .arg(QString::fromLocal8Bit(why ? why : "libsmbclient is missing")));
    auto context = std::make_shared<Context>();
    context->smbc = smbc;
    context->user = user.toUtf8();
    context->password = password.toUtf8();
    context->baseUrl = QStringLiteral("smb://") + name.server + u'/' + encoded(name.share);
    context->smb = smbc->newContext();
    if (!context->smb)
        return failure(ENOMEM);
    smbc->setOptionUserData(context->smb, context.get());
    smbc->setFunctionAuthDataWithContext(context->smb, &Context::authenticate);
    smbc->setOptionNoAutoAnonymousLogin(context->smb, 1);
    smbc->setTimeout(context->smb, timeoutMs);
    if (!smbc->initContext(context->smb)) {
        const int error = errno ? errno : EIO;
        smbc->freeContext(context->smb, 1);
        context->smb = nullptr;
        return failure(error);
    }

    const QByteArray url = context->baseUrl.toUtf8();
    SMBCFILE* dir = smbc->getFunctionOpendir(context->smb)(context->smb, url.constData());
    if (!dir)
        return failure(errno ? errno : EIO);
    smbc->getFunctionClosedir(context->smb)(context->smb, dir);
    m_context = std::move(context);
    return InternetResult::success();
}

InternetResult ShareConnection::disconnect()
{
    if (!m_context)
        return failure(ENOTCONN);
    m_context.reset();
    return InternetResult::success();
}

Opened<ShareFile> ShareConnection::openRead(const QString& relativePath)
{
    if (!m_context)
        return Opened<ShareFile>::failure(failure(ENOTCONN));
    QString url = m_context->baseUrl;
    for (const QString& part : QString(relativePath).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts))
        url += u'/' + encoded(part);
    const QByteArray path = url.toUtf8();
    SMBCFILE* file = m_context->smbc->getFunctionOpen(m_context->smb)(m_context->smb, path.constData(), O_RDONLY, 0);
    if (!file)
        return Opened<ShareFile>::failure(failure(errno ? errno : EIO));
    auto handle = std::make_unique<ShareFile::Handle>();
    handle->context = m_context;
    handle->smb = m_context->smb;
    handle->file = file;
    return {std::unique_ptr<ShareFile>(new ShareFile(std::move(handle))), InternetResult::success()};
}

} // namespace platform
