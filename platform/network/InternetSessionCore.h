#pragma once

// What a session and its requests share. Internal to the platform layer.

#include "platform/network/AnswerLimits.h"
#include "platform/network/CurlHandles.h"
#include "platform/network/HttpHeaders.h"
#include "platform/network/InternetRequest.h"
#include "platform/network/InternetSession.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace platform {

using SteadyClock = std::chrono::steady_clock;

struct RequestState;

class SessionCore {
public:
    SessionCore();

    // Failed: the library could not drive the transfers at all; TooSlow: the answer broke one
    // of the request's limits (the request keeps the reason of either).
    enum class WaitResult { Ready, TimedOut, Aborted, Failed, TooSlow };

    // Drives the session's transfers until ready() holds or the request ends, calling the
    // idle callback between short slices. It gives up when the request has seen no traffic
    // for inactivityMs, when its answer breaks one of its limits, and at once when driving or
    // polling the transfers fails.
    template <typename Ready>
    WaitResult waitFor(RequestState& request, Ready ready, std::int64_t inactivityMs);

    // One round of work on every transfer; finished transfers are marked done.
    CURLMcode drive();

    // How long any wait of the session bears a silent peer. The time-outs are limits on
    // silence, each for its own phase, so a wait spanning phases takes the largest, never
    // their sum.
    std::int64_t silenceLimitMs() const { return std::max({connectTimeoutMs, sendTimeoutMs, receiveTimeoutMs}); }

    // TLS sessions and name lookups shared by the session's requests, so a connection opened
    // again (the server closed the last one) resumes its TLS session instead of a full
    // handshake. Declared before the multi handle: it must outlive every transfer.
    CurlShare share;
    // Its connection cache keeps the session's connections open between requests; they
    // close with it, at the end of the run.
    CurlMulti multi;
    // An easy handle of an ended request, its options cleared, for the next request: making
    // and freeing one for every request of a long list costs more than the rest of our side.
    // Declared after the multi handle: it goes first.
    CurlEasy spare;
    QByteArray agent;
    QByteArray proxy;
    QByteArray proxyUser;
    QByteArray proxyPassword;
    QByteArray certificateAuthorities;
    int connectTimeoutMs = InternetSession::DefaultTimeoutMs;
    int sendTimeoutMs = InternetSession::DefaultTimeoutMs;
    int receiveTimeoutMs = InternetSession::DefaultTimeoutMs;
    // The limits on a slow answer every web request of the session gets; 0 for none.
    int responseHeadTimeoutMs = 0;
    int lowSpeedLimit = 0;
    int lowSpeedTime = 0;
    IdleCallback idle;
};

struct RequestState {
    explicit RequestState(std::shared_ptr<SessionCore> session) : core(std::move(session)) {}
    ~RequestState();
    RequestState(const RequestState&) = delete;
    RequestState& operator=(const RequestState&) = delete;

    std::int64_t buffered() const { return static_cast<std::int64_t>(body.size() - head); }
    InternetResult curlFailure(CURLcode code) const;
    // What a wait for this request came to: ok when it ended ready and the request has not
    // failed, else the reason.
    InternetResult waitOutcome(SessionCore::WaitResult wait) const;

    std::shared_ptr<SessionCore> core;
    CurlHeaderList headerList;
    CurlEasy easy;
    bool attached = false;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    bool headersFinal = false;
    bool done = false;
    CURLcode result = CURLE_OK;
    // Why the session's transfers could not be driven, when a wait ended Failed.
    CURLMcode multiResult = CURLM_OK;
    bool paused = false;
    // An active-mode data connection came from another address than the server's: refused.
    bool foreignData = false;
    SteadyClock::time_point lastActivity = SteadyClock::now();
    // How slowly the answer may come, and which limit it broke when a wait ended TooSlow.
    AnswerLimits limits;
    InternetResult limitFailure;

    // Body bytes received but not read yet; bounded, the transfer pauses when it is full.
    std::vector<char> body;
    std::size_t head = 0;
    std::int64_t readSinceDrive = 0;
    // Body bytes received in all, read or not.
    std::int64_t received = 0;

    // Headers of the answer being received (the final one once headersFinal is set); an FTP
    // request keeps the server's reply lines here as names without values.
    HttpHeaderFields responseHeaders;
    std::int64_t contentLength = -1;
    bool hasLocation = false;

    // An upload's body: the block handed over by the writer, taken by the transfer as it goes.
    std::vector<char> upload;
    std::size_t uploadHead = 0;
    bool uploadEnded = false;   // the writer has no more: the transfer sees the end
    bool uploadPaused = false;  // the transfer waits for the next block
    bool uploadAsked = false;   // the transfer has asked for body data: the request is under way
};

// Curl callbacks that fill a request's receive buffer and feed it its upload buffer; the
// transfer pauses when the reader or the writer falls behind.
size_t receiveBody(char* data, size_t size, size_t count, void* userData);
size_t sendBody(char* buffer, size_t size, size_t count, void* userData);

// The one way a request is opened: a fresh easy handle, the options configure sets on the
// state (it may refuse with a failure, before anything is sent), and the transfer added to
// the session's.
template <typename Configure>
Opened<RequestState> startRequest(const std::shared_ptr<SessionCore>& core, Configure configure)
{
    auto state = std::make_unique<RequestState>(core);
    state->easy = core->spare ? std::move(core->spare) : CurlEasy(curl_easy_init());
    if (!state->easy)
        return Opened<RequestState>::failure(state->curlFailure(CURLE_FAILED_INIT));
    if (const InternetResult configured = configure(*state); !configured.ok)
        return Opened<RequestState>::failure(configured);
    if (curl_multi_add_handle(core->multi.get(), state->easy.get()) != CURLM_OK)
        return Opened<RequestState>::failure(state->curlFailure(CURLE_FAILED_INIT));
    state->attached = true;
    return {std::move(state), InternetResult::success()};
}

template <typename Ready>
SessionCore::WaitResult SessionCore::waitFor(RequestState& request, Ready ready, std::int64_t inactivityMs)
{
    // Short enough that the window answers at once, long enough to cost nothing.
    constexpr auto Slice = std::chrono::milliseconds(20);
    const auto start = SteadyClock::now();
    auto lastIdle = start;
    for (;;) {
        if (const CURLMcode driven = drive(); driven != CURLM_OK) {
            request.multiResult = driven;
            return WaitResult::Failed;
        }
        if (ready() || request.done)
            return WaitResult::Ready;
        const auto now = SteadyClock::now();
        if (InternetResult broken = request.limits.check(now, request.headersFinal, request.received); !broken.ok) {
            request.limitFailure = std::move(broken);
            return WaitResult::TooSlow;
        }
        const auto quietSince = std::max(start, request.lastActivity);
        if (now - quietSince > std::chrono::milliseconds(inactivityMs))
            return WaitResult::TimedOut;
        int descriptors = 0;
        if (const CURLMcode polled = curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(Slice.count()),
                                                     &descriptors);
            polled != CURLM_OK) {
            request.multiResult = polled;
            return WaitResult::Failed;
        }
        if (idle && SteadyClock::now() - lastIdle >= Slice) {
            lastIdle = SteadyClock::now();
            if (!idle())
                return WaitResult::Aborted;
        }
    }
}

} // namespace platform
