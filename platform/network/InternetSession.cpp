#include "platform/network/InternetSession.h"

#include "platform/network/HttpHeaders.h"
#include "platform/network/InternetErrors.h"
#include "platform/network/InternetSessionCore.h"
#include "platform/network/RequestAddress.h"

#include <QDateTime>
#include <QFile>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

// Body bytes held for the reader before the transfer pauses: enough to keep the socket busy
// between reads, small enough that memory does not grow with the file.
constexpr std::size_t BodyBufferLimit = 512 * 1024;
constexpr long ReceiveBufferSize = 128 * 1024;
constexpr long MaxRedirects = 20; // what browsers allow

// With a kept connection, the credentials asked for after a 401 go over the connection the 401
// came over (servers that tie a login to its connection need that). libcurl keeps a connection
// only once its answer came in whole: a request closed with any of its page unread closes it.
// So the page of such a 401 is taken in before the request is handed over, while it is short
// and comes at once; a longer one, an endless one or a late one costs the connection, never
// more than this much of the user's time.
constexpr std::int64_t ChallengePageLimit = 64 * 1024;
constexpr std::int64_t ChallengePageWaitMs = 2000;

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A length of digits alone that still does not fit a number. curl then reads to the end of
// the connection, so a body cut short would pass as the whole file.
bool lengthOverflows(QByteArrayView value, std::int64_t parsed)
{
    if (parsed >= 0 || value.isEmpty())
        return false;
    return std::all_of(value.cbegin(), value.cend(), [](char c) { return c >= '0' && c <= '9'; });
}

size_t receiveHeader(char* buffer, size_t size, size_t count, void* userData)
{
    auto* state = static_cast<RequestState*>(userData);
    const size_t total = size * count;
    state->lastActivity = SteadyClock::now();
    const HttpHeaderLine line = parseHttpHeaderLine(QByteArrayView(buffer, static_cast<qsizetype>(total)));
    switch (line.kind) {
    case HttpHeaderLine::Kind::StatusLine:
        // A new answer begins (after a redirect or an interim answer).
        state->responseHeaders.clear();
        state->contentLength = -1;
        state->hasLocation = false;
        break;
    case HttpHeaderLine::Kind::End: {
        long code = 0;
        curl_easy_getinfo(state->easy.get(), CURLINFO_RESPONSE_CODE, &code);
        const bool interim = code < 200;
        const bool followed = code >= 300 && code < 400 && state->hasLocation;
        if (!interim && !followed)
            state->headersFinal = true;
        break;
    }
    case HttpHeaderLine::Kind::Field:
        state->responseHeaders.append(line.name, line.value);
        if (isFieldName(line.name, "content-length")) {
            state->contentLength = parseContentLength(line.value);
            if (lengthOverflows(line.value, state->contentLength))
                return 0; // ends the transfer as failed
        } else if (isFieldName(line.name, "location")) {
            state->hasLocation = true;
        }
        break;
    case HttpHeaderLine::Kind::Other:
        break;
    }
    return total;
}

// An upload's answer is not read: its body is taken in and dropped.
size_t discardBody(char*, size_t size, size_t count, void* userData)
{
    static_cast<RequestState*>(userData)->lastActivity = SteadyClock::now();
    return size * count;
}

// Whether extra header text is lines separated by CR LF and nothing else could start a line.
bool headerLinesAreSafe(const QString& headers)
{
    if (headers.isEmpty())
        return true;
    const QStringList lines = headers.split(QStringLiteral("\r\n"));
    return std::all_of(lines.cbegin(), lines.cend(), [](const QString& line) { return isSafeHeaderText(line); });
}

CurlHeaderList headerListFrom(const QString& headers, OpenFlags flags)
{
    CurlHeaderList list;
    for (const QString& line : headers.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (!line.trimmed().isEmpty())
            appendHeader(list, line.toUtf8().constData());
    }
    if (flags.testFlag(OpenFlag::Reload)) {
        appendHeader(list, "Cache-Control: no-cache");
        appendHeader(list, "Pragma: no-cache");
    }
    return list;
}

// Whether the rest of a 401's page is worth waiting for: it has not all come yet, and it has
// an end short of the connection's (a length within the limit, or chunks, whose end may come
// before the limit). A page that ends only with the connection leaves nothing to keep.
bool challengePageToAwait(const RequestState& state)
{
    long code = 0;
    curl_easy_getinfo(state.easy.get(), CURLINFO_RESPONSE_CODE, &code);
    if (code != 401 || state.done)
        return false;
    if (state.contentLength >= 0)
        return state.contentLength <= ChallengePageLimit;
    return state.responseHeaders.last("transfer-encoding").trimmed().toByteArray().toLower().endsWith("chunked");
}

// What every request of a session shares: address, agent, time-outs, proxy.
void applySessionOptions(RequestState& state, const SessionCore& core, const QByteArray& address)
{
    CURL* easy = state.easy.get();
    curl_easy_setopt(easy, CURLOPT_URL, address.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_PRIVATE, &state);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, state.errorBuffer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    if (core.share)
        curl_easy_setopt(easy, CURLOPT_SHARE, core.share.get());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, core.agent.constData());
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(core.connectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, receiveHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &state);
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    if (!core.certificateAuthorities.isEmpty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, core.certificateAuthorities.constData());
    if (!core.proxy.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_PROXY, core.proxy.constData());
        // A named proxy carries every request: no_proxy in the environment is not consulted.
        curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    }
    if (!core.proxyUser.isEmpty() || !core.proxyPassword.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, core.proxyUser.constData());
        curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, core.proxyPassword.constData());
    }
}

// The scheme an address names before "://", in lower case; empty when it names none.
QString schemeOf(const QString& url)
{
    const qsizetype end = url.indexOf(QStringLiteral("://"));
    return end < 0 ? QString() : url.left(end).toLower();
}

bool isHttpScheme(const QString& scheme)
{
    return scheme == u"http" || scheme == u"https";
}

// Why a redirect was not followed, when the answer that ended the request was one to an
// address of another kind; empty otherwise.
QString refusedRedirect(const RequestState& state, const QString& firstScheme)
{
    if (state.result != CURLE_UNSUPPORTED_PROTOCOL || !state.hasLocation)
        return {};
    const QString location = QString::fromLatin1(state.responseHeaders.last("location")).trimmed();
    const QString scheme = schemeOf(location);
    if (scheme.isEmpty())
        return {};
    if (firstScheme == u"https" && scheme == u"http")
        return QStringLiteral("The server redirected a secure (https) address to an insecure (http) one; "
                              "the redirect was not followed");
    return QStringLiteral("The server redirected to a %1 address; only http and https redirects are followed")
        .arg(scheme);
}

// The address with any user name and password taken out. An upload sends no credentials:
// those written into its address are not for the server it sends the file to.
QByteArray withoutCredentials(const QByteArray& url)
{
    CurlUrl parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.constData(), 0) != CURLUE_OK)
        return {};
    curl_url_set(parsed.get(), CURLUPART_USER, nullptr, 0);
    curl_url_set(parsed.get(), CURLUPART_PASSWORD, nullptr, 0);
    curl_url_set(parsed.get(), CURLUPART_OPTIONS, nullptr, 0);
    char* text = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_URL, &text, 0) != CURLUE_OK || !text)
        return {};
    QByteArray result(text);
    curl_free(text);
    return result;
}

// Whether the session's agent can go into a request head.
InternetResult checkAgent(const SessionCore& core)
{
    return isSafeHeaderText(QString::fromUtf8(core.agent)) ? InternetResult::success() : unsafeHeaderTextResult();
}

} // namespace

size_t receiveBody(char* data, size_t size, size_t count, void* userData)
{
    auto* state = static_cast<RequestState*>(userData);
    const size_t total = size * count;
    if (state->body.size() - state->head >= BodyBufferLimit) {
        state->paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    if (state->head > 0 && state->head == state->body.size()) {
        state->body.clear();
        state->head = 0;
    } else if (state->head >= BodyBufferLimit / 2) {
        state->body.erase(state->body.begin(), state->body.begin() + static_cast<std::ptrdiff_t>(state->head));
        state->head = 0;
    }
    state->body.insert(state->body.end(), data, data + total);
    state->received += static_cast<std::int64_t>(total);
    state->lastActivity = SteadyClock::now();
    return total;
}

size_t sendBody(char* buffer, size_t size, size_t count, void* userData)
{
    auto* state = static_cast<RequestState*>(userData);
    state->uploadAsked = true;
    const size_t room = size * count;
    const size_t available = state->upload.size() - state->uploadHead;
    if (available == 0) {
        if (state->uploadEnded)
            return 0;
        state->uploadPaused = true;
        return CURL_READFUNC_PAUSE;
    }
    const size_t count_ = std::min(room, available);
    std::memcpy(buffer, state->upload.data() + state->uploadHead, count_);
    state->uploadHead += count_;
    state->lastActivity = SteadyClock::now();
    return count_;
}

SessionCore::SessionCore()
{
    initialiseLibrary();
    // One thread drives a session at a time: the share needs no locks.
    share = CurlShare(curl_share_init());
    if (share) {
        curl_share_setopt(share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        curl_share_setopt(share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }
    multi = CurlMulti(curl_multi_init());
}

CURLMcode SessionCore::drive()
{
    int running = 0;
    if (const CURLMcode performed = curl_multi_perform(multi.get(), &running); performed != CURLM_OK)
        return performed;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        RequestState* state = nullptr;
        curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &state);
        if (state) {
            state->done = true;
            state->result = message->data.result;
        }
    }
    return CURLM_OK;
}

RequestState::~RequestState()
{
    if (!attached)
        return;
    curl_multi_remove_handle(core->multi.get(), easy.get());
    // Every option goes, those that point into this state first among them; the
    // connections stay in the session's cache either way.
    curl_easy_reset(easy.get());
    if (!core->spare)
        core->spare = std::move(easy);
}

InternetResult RequestState::curlFailure(CURLcode code) const
{
    QString message = QString::fromUtf8(curl_easy_strerror(code));
    if (errorBuffer[0] != '\0')
        message += QStringLiteral(": ") + QString::fromUtf8(errorBuffer).trimmed();
    return InternetResult::failure(internetErrorNumber(code), message);
}

InternetResult RequestState::waitOutcome(SessionCore::WaitResult wait) const
{
    switch (wait) {
    case SessionCore::WaitResult::Aborted:
        return curlFailure(CURLE_ABORTED_BY_CALLBACK);
    case SessionCore::WaitResult::TimedOut:
        return curlFailure(CURLE_OPERATION_TIMEDOUT);
    case SessionCore::WaitResult::TooSlow:
        return limitFailure;
    case SessionCore::WaitResult::Failed:
        // The multi interface has no error numbers of the layer's kind: it counts as a
        // request the library could not carry out, with the multi interface's own text.
        return InternetResult::failure(internetErrorNumber(CURLE_FAILED_INIT),
                                       QString::fromUtf8(curl_multi_strerror(multiResult)));
    case SessionCore::WaitResult::Ready:
        break;
    }
    if (done && result != CURLE_OK)
        return curlFailure(result);
    return InternetResult::success();
}

InternetSession::InternetSession(const QString& agent, const QString& proxy)
    : m_core(std::make_shared<SessionCore>())
{
    m_core->agent = agent.toUtf8();
    m_core->proxy = proxy.toUtf8();
}

InternetSession::~InternetSession() = default;
InternetSession::InternetSession(InternetSession&&) noexcept = default;
InternetSession& InternetSession::operator=(InternetSession&&) noexcept = default;

QString InternetSession::agent() const { return QString::fromUtf8(m_core->agent); }
QString InternetSession::proxy() const { return QString::fromUtf8(m_core->proxy); }
int InternetSession::connectTimeout() const { return m_core->connectTimeoutMs; }
int InternetSession::sendTimeout() const { return m_core->sendTimeoutMs; }
int InternetSession::receiveTimeout() const { return m_core->receiveTimeoutMs; }
int InternetSession::responseHeadTimeout() const { return m_core->responseHeadTimeoutMs; }
int InternetSession::lowSpeedLimit() const { return m_core->lowSpeedLimit; }
int InternetSession::lowSpeedTime() const { return m_core->lowSpeedTime; }
std::int64_t InternetSession::silenceLimit() const { return m_core->silenceLimitMs(); }

void InternetSession::setConnectTimeout(int milliseconds)
{
    m_core->connectTimeoutMs = milliseconds > 0 ? milliseconds : DefaultTimeoutMs;
}

void InternetSession::setSendTimeout(int milliseconds)
{
    m_core->sendTimeoutMs = milliseconds > 0 ? milliseconds : DefaultTimeoutMs;
}

void InternetSession::setReceiveTimeout(int milliseconds)
{
    m_core->receiveTimeoutMs = milliseconds > 0 ? milliseconds : DefaultTimeoutMs;
}

void InternetSession::setResponseHeadTimeout(int milliseconds)
{
    m_core->responseHeadTimeoutMs = std::max(milliseconds, 0);
}

void InternetSession::setLowSpeedLimit(int bytesPerSecond, int seconds)
{
    const bool on = bytesPerSecond > 0 && seconds > 0;
    m_core->lowSpeedLimit = on ? bytesPerSecond : 0;
    m_core->lowSpeedTime = on ? seconds : 0;
}

void InternetSession::setProxyCredentials(const QString& user, const QString& password)
{
    m_core->proxyUser = user.toUtf8();
    m_core->proxyPassword = password.toUtf8();
}

void InternetSession::setCertificateAuthorities(const QString& pemFile)
{
    m_core->certificateAuthorities = QFile::encodeName(pemFile);
}

void InternetSession::setIdleCallback(IdleCallback callback)
{
    m_core->idle = std::move(callback);
}

Opened<InternetRequest> InternetSession::openUrl(const QString& url, const QString& headers, OpenFlags flags)
{
    // Only web addresses: a file:// address would copy a local file, other schemes reach
    // other servers. An address without a scheme is taken as http.
    const QString firstScheme = schemeOf(url);
    Opened<RequestState> opened = startRequest(m_core, [&](RequestState& state) -> InternetResult {
        if (const InternetResult agent = checkAgent(*m_core); !agent.ok)
            return agent;
        if (!headerLinesAreSafe(headers))
            return unsafeHeaderTextResult();
        if (!firstScheme.isEmpty() && !isHttpScheme(firstScheme)) {
            return InternetResult::failure(internetErrorNumber(CURLE_UNSUPPORTED_PROTOCOL),
                                           QStringLiteral("Only http and https addresses are opened, not %1")
                                               .arg(firstScheme));
        }
        state.headerList = headerListFrom(headers, flags);
        state.limits.setHeadDeadline(SteadyClock::now(), m_core->responseHeadTimeoutMs);
        state.limits.setSpeedFloor(m_core->lowSpeedLimit, m_core->lowSpeedTime);
        applySessionOptions(state, *m_core, requestAddress(url));
        CURL* easy = state.easy.get();
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, MaxRedirects);
        // What began secure stays secure: an https request follows https redirects only.
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, firstScheme == u"https" ? "https" : "http,https");
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, ReceiveBufferSize);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, receiveBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
        if (state.headerList)
            curl_easy_setopt(easy, CURLOPT_HTTPHEADER, state.headerList.get());
        return InternetResult::success();
    });
    if (!opened.handle)
        return Opened<InternetRequest>::failure(opened.result);

    RequestState& request = *opened.handle;
    const std::int64_t patience = m_core->silenceLimitMs();
    const SessionCore::WaitResult wait =
        m_core->waitFor(request, [&request] { return request.headersFinal; }, patience);
    if (wait != SessionCore::WaitResult::Ready)
        return Opened<InternetRequest>::failure(request.waitOutcome(wait));
    if (!request.headersFinal && request.done && request.result != CURLE_OK) {
        if (const QString refused = refusedRedirect(request, firstScheme); !refused.isEmpty())
            return Opened<InternetRequest>::failure(InternetResult::failure(internetErrorNumber(request.result), refused));
        return Opened<InternetRequest>::failure(request.curlFailure(request.result));
    }
    request.headersFinal = true;
    request.limits.restartSpeedCount(SteadyClock::now(), request.received);
    if (flags.testFlag(OpenFlag::KeepConnection) && challengePageToAwait(request)) {
        // The page stays readable as far as it came. Only a cancel ends the request here:
        // whatever else stopped the wait is the body's business, for a read to report.
        const auto until = SteadyClock::now() + std::chrono::milliseconds(ChallengePageWaitMs);
        const SessionCore::WaitResult page = m_core->waitFor(
            request, [&request, until] { return request.received > ChallengePageLimit || SteadyClock::now() >= until; },
            std::min(patience, ChallengePageWaitMs));
        if (page == SessionCore::WaitResult::Aborted)
            return Opened<InternetRequest>::failure(request.waitOutcome(page));
    }
    return {std::unique_ptr<InternetRequest>(new InternetRequest(std::move(opened.handle))), InternetResult::success()};
}

Opened<InternetUpload> InternetSession::openUpload(const QString& url, UploadVerb verb, std::int64_t length)
{
    Opened<RequestState> opened = startRequest(m_core, [&](RequestState& state) -> InternetResult {
        if (const InternetResult agent = checkAgent(*m_core); !agent.ok)
            return agent;
        const QUrl address(url);
        const QString scheme = address.scheme().toLower();
        if (!address.isValid() || address.host().isEmpty() || !isHttpScheme(scheme))
            return state.curlFailure(CURLE_URL_MALFORMAT);
        const QByteArray target = withoutCredentials(requestAddress(url));
        if (target.isEmpty())
            return state.curlFailure(CURLE_URL_MALFORMAT);

        applySessionOptions(state, *m_core, target);
        CURL* easy = state.easy.get();
        curl_easy_setopt(easy, CURLOPT_READFUNCTION, sendBody);
        curl_easy_setopt(easy, CURLOPT_READDATA, &state);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, discardBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
        curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
        if (verb == UploadVerb::Put) {
            curl_easy_setopt(easy, CURLOPT_UPLOAD, 1L);
            curl_easy_setopt(easy, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(length));
        } else {
            curl_easy_setopt(easy, CURLOPT_POST, 1L);
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(length));
        }
        // The raw body and nothing else: no form content type, no waiting for "100 Continue".
        appendHeader(state.headerList, "Content-Type:");
        appendHeader(state.headerList, "Expect:");
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, state.headerList.get());
        return InternetResult::success();
    });
    if (!opened.handle)
        return Opened<InternetUpload>::failure(opened.result);
    return {std::unique_ptr<InternetUpload>(new InternetUpload(std::move(opened.handle))), InternetResult::success()};
}

} // namespace platform
