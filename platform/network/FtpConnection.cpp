#include "platform/network/FtpConnection.h"

#include "platform/network/InternetErrors.h"
#include "platform/network/InternetSessionCore.h"

#include <QDate>
#include <QRegularExpression>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <optional>

namespace platform {

namespace {

// Every answer line of the server (the control connection's replies) is kept.
size_t ftpReply(char* buffer, size_t size, size_t count, void* userData)
{
    auto* state = static_cast<RequestState*>(userData);
    const size_t total = size * count;
    state->lastActivity = SteadyClock::now();
    state->responseHeaders.append(QByteArrayView(buffer, static_cast<qsizetype>(total)).trimmed(), {});
    return total;
}

// The quoted path of a "257" answer to PWD ("257 "/pub" is the current directory."); a
// doubled quote stands for one quote inside the name.
QString pathOfReply(const QByteArray& reply)
{
    const qsizetype open = reply.indexOf('"');
    if (!reply.startsWith("257") || open < 0)
        return {};
    QByteArray path;
    for (qsizetype i = open + 1; i < reply.size(); ++i) {
        if (reply[i] == '"') {
            if (i + 1 < reply.size() && reply[i + 1] == '"') {
                path += '"';
                ++i;
                continue;
            }
            return QString::fromUtf8(path);
        }
        path += reply[i];
    }
    return {};
}

QRegularExpression patternExpression(const QString& pattern)
{
    QString expression;
    for (const QChar c : pattern) {
        if (c == u'*')
            expression += QStringLiteral(".*");
        else if (c == u'?')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::DotMatchesEverythingOption);
}

QString joinRemote(const QString& dir, const QString& name)
{
    return dir.endsWith(u'/') ? dir + name : dir + u'/' + name;
}

// Resolves "." and ".." of an absolute remote path.
QString normalised(const QString& path)
{
    QStringList parts;
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".")
            continue;
        if (part == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts << part;
    }
    return u'/' + parts.join(u'/');
}

// A CR or LF would end the command line and begin another one of the sender's choosing; a
// NUL would cut it short. No such text goes out, whoever asks.
bool breaksCommandLine(const QByteArray& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

bool breaksCommandLine(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c == u'\r' || c == u'\n' || c == QChar(0); });
}

InternetResult refusedCommandLine()
{
    return InternetResult::failure(internetErrorNumber(CURLE_BAD_FUNCTION_ARGUMENT),
                                   QStringLiteral("An FTP command cannot hold CR, LF or NUL"));
}

using IpAddress = std::array<unsigned char, 16>;

// IPv4 addresses as their IPv4-mapped IPv6 form, so both families compare alike.
IpAddress mappedV4(const unsigned char* v4)
{
    IpAddress address{};
    address[10] = 0xff;
    address[11] = 0xff;
    std::memcpy(address.data() + 12, v4, 4);
    return address;
}

std::optional<IpAddress> parsedAddress(const char* text)
{
    if (!text)
        return std::nullopt;
    in_addr v4{};
    if (inet_pton(AF_INET, text, &v4) == 1)
        return mappedV4(reinterpret_cast<const unsigned char*>(&v4));
    IpAddress v6{};
    if (inet_pton(AF_INET6, text, v6.data()) == 1)
        return v6;
    return std::nullopt;
}

std::optional<IpAddress> peerAddress(curl_socket_t socket)
{
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return std::nullopt;
    if (peer.ss_family == AF_INET)
        return mappedV4(reinterpret_cast<const unsigned char*>(&reinterpret_cast<const sockaddr_in*>(&peer)->sin_addr));
    if (peer.ss_family == AF_INET6) {
        IpAddress v6{};
        std::memcpy(v6.data(), &reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_addr, v6.size());
        return v6;
    }
    return std::nullopt;
}

// In active mode the server connects to a port of ours for every transfer. Whoever reaches
// that port first would be taken for the server and what it sends stored as the file, so a
// data connection is accepted only from the address the control connection goes to.
int acceptOnlyFromServer(void* userData, curl_socket_t socket, curlsocktype purpose)
{
    if (purpose != CURLSOCKTYPE_ACCEPT)
        return CURL_SOCKOPT_OK;
    auto* state = static_cast<RequestState*>(userData);
    char* serverIp = nullptr;
    curl_easy_getinfo(state->easy.get(), CURLINFO_PRIMARY_IP, &serverIp);
    const std::optional<IpAddress> server = parsedAddress(serverIp);
    const std::optional<IpAddress> peer = peerAddress(socket);
    if (server && peer && *server == *peer)
        return CURL_SOCKOPT_OK;
    state->foreignData = true;
    return CURL_SOCKOPT_ERROR;
}

} // namespace

FtpConnection::FtpConnection(std::shared_ptr<SessionCore> own, std::weak_ptr<SessionCore> session,
                             const QString& host, int port, const QString& user, const QString& password,
                             bool passive)
    : m_core(std::move(own))
    , m_session(std::move(session))
    , m_passive(passive)
{
    QUrl base;
    base.setScheme(QStringLiteral("ftp"));
    base.setHost(host);
    base.setPort(port);
    base.setPath(QStringLiteral("/"));
    m_base = base.toEncoded();
    // Without both a user name and a password the login is anonymous.
    if (!user.isEmpty() && !password.isEmpty()) {
        m_user = user.toUtf8();
        m_password = password.toUtf8();
    } else {
        m_user = "anonymous";
        m_password = "anonymous@";
    }
}

FtpConnection::~FtpConnection() = default;

bool FtpConnection::isUsable() const
{
    return !m_session.expired();
}

void FtpConnection::applyOptions(RequestState& state, const QByteArray& url) const
{
    CURL* easy = state.easy.get();
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &state);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, state.errorBuffer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_core->connectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(std::max(1, m_core->receiveTimeoutMs / 1000)));
    curl_easy_setopt(easy, CURLOPT_USERNAME, m_user.constData());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, m_password.constData());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, ftpReply);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);
    // Paths are always sent whole, so the server's working directory between requests does
    // not matter and every request of this object can share one control connection.
    curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    if (!m_passive) {
        curl_easy_setopt(easy, CURLOPT_FTPPORT, "-");
        curl_easy_setopt(easy, CURLOPT_SOCKOPTFUNCTION, acceptOnlyFromServer);
        curl_easy_setopt(easy, CURLOPT_SOCKOPTDATA, &state);
    }
    if (!m_core->proxy.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_PROXY, m_core->proxy.constData());
        curl_easy_setopt(easy, CURLOPT_NOPROXY, ""); // as for HTTP: the named proxy takes everything
    }
}

QString FtpConnection::absolutePath(const QString& path) const
{
    return normalised(path.startsWith(u'/') ? path : joinRemote(m_dir, path));
}

QByteArray FtpConnection::urlFor(const QString& absolute) const
{
    // "%2F" makes the path absolute on the server rather than relative to the login directory.
    QByteArray url = m_base + "%2F";
    const QStringList parts = absolute.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            url += '/';
        url += QUrl::toPercentEncoding(parts[i]);
    }
    return url;
}

InternetResult FtpConnection::runCommands(const QList<QByteArray>& commands, QList<QByteArray>* replies)
{
    if (std::any_of(commands.cbegin(), commands.cend(), [](const QByteArray& c) { return breaksCommandLine(c); }))
        return refusedCommandLine();
    CurlHeaderList quote;
    // "*": a refused command is not a failure of the request. Curl would otherwise close the
    // control connection, and the next command would need a new login.
    for (const QByteArray& command : commands)
        appendHeader(quote, ("*" + command).constData());
    const Opened<RequestState> opened = startRequest(m_core, [&](RequestState& state) {
        // An absolute path: curl then sends nothing of its own after the commands.
        applyOptions(state, m_base + "%2F");
        curl_easy_setopt(state.easy.get(), CURLOPT_NOBODY, 1L);
        if (quote)
            curl_easy_setopt(state.easy.get(), CURLOPT_QUOTE, quote.get());
        return InternetResult::success();
    });
    if (!opened.handle)
        return opened.result;
    RequestState& state = *opened.handle;
    const std::int64_t patience = m_core->silenceLimitMs();
    const InternetResult result = state.waitOutcome(m_core->waitFor(state, [] { return false; }, patience));
    if (!result.ok)
        return result;
    // The last line of each reply ("ddd text"); the last ones answer our commands.
    QList<QByteArray> finals;
    for (qsizetype i = 0; i < state.responseHeaders.size(); ++i) {
        const QByteArrayView line = state.responseHeaders.name(i);
        if (line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) && line[3] == ' ')
            finals.append(line.toByteArray());
    }
    if (finals.size() < commands.size())
        return state.curlFailure(CURLE_WEIRD_SERVER_REPLY);
    if (replies)
        *replies = finals.mid(finals.size() - commands.size());
    if (m_dir.isEmpty()) {
        char* entry = nullptr;
        curl_easy_getinfo(state.easy.get(), CURLINFO_FTP_ENTRY_PATH, &entry);
        m_dir = entry && entry[0] == '/' ? QString::fromUtf8(entry) : QStringLiteral("/");
        m_loginDir = m_dir;
    }
    return result;
}

InternetResult FtpConnection::runCommandsAllAccepted(const QList<QByteArray>& commands, QList<QByteArray>* replies)
{
    QList<QByteArray> answers;
    const InternetResult result = runCommands(commands, &answers);
    if (!result.ok)
        return result;
    for (const QByteArray& answer : answers) {
        // 1xx to 3xx: the command was taken; 4xx and 5xx: refused.
        if (answer[0] != '1' && answer[0] != '2' && answer[0] != '3')
            return InternetResult::failure(internetErrorNumber(CURLE_QUOTE_ERROR), QString::fromUtf8(answer));
    }
    if (replies)
        *replies = answers;
    return result;
}

InternetResult FtpConnection::login()
{
    return runCommands({});
}

QString FtpConnection::currentDirectory() const
{
    return m_dir;
}

InternetResult FtpConnection::setCurrentDirectory(const QString& dir)
{
    if (dir.isEmpty())
        return InternetResult::failure(internetErrorNumber(CURLE_QUOTE_ERROR), QStringLiteral("No directory given"));
    QList<QByteArray> replies;
    const InternetResult result = runCommandsAllAccepted(
        {"CWD " + m_dir.toUtf8(), "CWD " + dir.toUtf8(), "PWD"}, &replies);
    if (!result.ok)
        return result;
    const QString path = replies.isEmpty() ? QString() : pathOfReply(replies.last());
    m_dir = path.startsWith(u'/') ? path : absolutePath(dir);
    return result;
}

InternetResult FtpConnection::createDirectory(const QString& dir)
{
    return runCommandsAllAccepted({"CWD " + m_dir.toUtf8(), "MKD " + dir.toUtf8()});
}

InternetResult FtpConnection::deleteFile(const QString& name)
{
    return runCommandsAllAccepted({"CWD " + m_dir.toUtf8(), "DELE " + name.toUtf8()});
}

InternetResult FtpConnection::findFiles(const QString& pattern, std::vector<FtpFindData>& entries)
{
    entries.clear();
    const qsizetype slash = pattern.lastIndexOf(u'/');
    const QString dir = slash >= 0 ? absolutePath(pattern.left(slash + 1)) : m_dir;
    const QString namePattern = pattern.mid(slash + 1);
    if (breaksCommandLine(dir) || breaksCommandLine(namePattern))
        return refusedCommandLine();

    QByteArray url = urlFor(dir);
    if (!url.endsWith("%2F"))
        url += '/';
    const Opened<RequestState> opened = startRequest(m_core, [&](RequestState& state) {
        applyOptions(state, url);
        curl_easy_setopt(state.easy.get(), CURLOPT_WRITEFUNCTION, receiveBody);
        curl_easy_setopt(state.easy.get(), CURLOPT_WRITEDATA, &state);
        return InternetResult::success();
    });
    if (!opened.handle)
        return opened.result;
    RequestState& state = *opened.handle;

    // A listing is small next to the buffer; it is read whole before it is parsed. A server
    // that never ends its listing must not take all memory: beyond the limit it is refused.
    constexpr qsizetype ListingLimit = 8 * 1024 * 1024;
    QByteArray listing;
    const std::int64_t patience = m_core->silenceLimitMs();
    for (;;) {
        const InternetResult result =
            state.waitOutcome(m_core->waitFor(state, [&state] { return state.buffered() > 0; }, patience));
        listing.append(state.body.data() + state.head, static_cast<qsizetype>(state.buffered()));
        state.body.clear();
        state.head = 0;
        if (state.paused) {
            state.paused = false;
            curl_easy_pause(state.easy.get(), CURLPAUSE_CONT);
        }
        if (!result.ok)
            return result;
        if (state.done)
            break;
        if (listing.size() > ListingLimit)
            return state.curlFailure(CURLE_FILESIZE_EXCEEDED);
    }

    const QDate today = QDate::currentDate();
    const QRegularExpression matcher = patternExpression(namePattern.isEmpty() ? QStringLiteral("*") : namePattern);
    for (const QByteArray& rawLine : listing.split('\n')) {
        // Only the line end goes: a name may end in blanks.
        const QString line = QString::fromUtf8(rawLine.endsWith('\r') ? rawLine.chopped(1) : rawLine);
        if (line.trimmed().isEmpty())
            continue;
        const auto entry = parseFtpListLine(line, today.year(), today.month(), today.day());
        if (entry && matcher.match(entry->name).hasMatch())
            entries.push_back(*entry);
    }
    return InternetResult::success();
}

Opened<InternetRequest> FtpConnection::openForReading(const QString& name, bool ascii)
{
    m_lastSize = -1;
    const QString path = absolutePath(name);
    if (breaksCommandLine(path))
        return Opened<InternetRequest>::failure(refusedCommandLine());
    Opened<RequestState> opened = startRequest(m_core, [&](RequestState& state) {
        applyOptions(state, urlFor(path));
        curl_easy_setopt(state.easy.get(), CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
        curl_easy_setopt(state.easy.get(), CURLOPT_WRITEFUNCTION, receiveBody);
        curl_easy_setopt(state.easy.get(), CURLOPT_WRITEDATA, &state);
        return InternetResult::success();
    });
    if (!opened.handle)
        return Opened<InternetRequest>::failure(opened.result);

    // The file is open once data flows or the server has sent all of an empty file.
    RequestState& request = *opened.handle;
    const std::int64_t patience = m_core->silenceLimitMs();
    const SessionCore::WaitResult wait =
        m_core->waitFor(request, [&request] { return request.buffered() > 0; }, patience);
    // Once data has arrived the file is open, even when the transfer has already failed after
    // it (cut short): that failure is the reader's to report, as an interrupted transfer, not
    // as a missing file.
    // A data connection refused for coming from elsewhere breaks a file the server did open:
    // the reader sees a transfer that failed, not a file that is missing.
    const InternetResult result = request.buffered() > 0 || request.foreignData ? InternetResult::success()
                                                                                : request.waitOutcome(wait);
    if (!result.ok)
        return Opened<InternetRequest>::failure(result);
    curl_off_t length = -1;
    curl_easy_getinfo(request.easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    m_lastSize = length;
    request.headersFinal = true;
    return {std::unique_ptr<InternetRequest>(new InternetRequest(std::move(opened.handle))), result};
}

Opened<InternetUpload> FtpConnection::openForWriting(const QString& name, bool ascii)
{
    const QString path = absolutePath(name);
    if (breaksCommandLine(path))
        return Opened<InternetUpload>::failure(refusedCommandLine());
    Opened<RequestState> opened = startRequest(m_core, [&](RequestState& state) {
        applyOptions(state, urlFor(path));
        curl_easy_setopt(state.easy.get(), CURLOPT_TRANSFERTEXT, ascii ? 1L : 0L);
        curl_easy_setopt(state.easy.get(), CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(state.easy.get(), CURLOPT_READFUNCTION, sendBody);
        curl_easy_setopt(state.easy.get(), CURLOPT_READDATA, &state);
        return InternetResult::success();
    });
    if (!opened.handle)
        return Opened<InternetUpload>::failure(opened.result);
    std::unique_ptr<InternetUpload> upload(new InternetUpload(std::move(opened.handle)));
    // The server has accepted STOR (the file exists) once the transfer asks for data.
    // As for a download, a refused data connection is a broken transfer of an open file.
    const InternetResult begun = upload->begin();
    if (!begun.ok && !upload->m_state->foreignData)
        return Opened<InternetUpload>::failure(begun);
    return {std::move(upload), InternetResult::success()};
}

Opened<FtpConnection> InternetSession::connectFtp(const QString& host, int port, const QString& user,
                                                  const QString& password, bool passive)
{
    if (breaksCommandLine(host) || breaksCommandLine(user) || breaksCommandLine(password))
        return Opened<FtpConnection>::failure(refusedCommandLine());
    // A connection of its own: its control connection is closed when the object goes, not
    // handed to another connection through a shared cache.
    auto own = std::make_shared<SessionCore>();
    own->agent = m_core->agent;
    own->proxy = m_core->proxy;
    own->connectTimeoutMs = m_core->connectTimeoutMs;
    own->sendTimeoutMs = m_core->sendTimeoutMs;
    own->receiveTimeoutMs = m_core->receiveTimeoutMs;
    own->idle = m_core->idle;
    std::unique_ptr<FtpConnection> connection(
        new FtpConnection(std::move(own), m_core, host, static_cast<quint16>(port), user, password, passive));
    const InternetResult login = connection->login();
    if (!login.ok)
        return Opened<FtpConnection>::failure(login);
    return {std::move(connection), login};
}

} // namespace platform
