#include "platform/network/InternetRequest.h"

#include "platform/network/HttpHeaders.h"
#include "platform/network/InternetSessionCore.h"

#include <cstring>

namespace platform {

namespace {

constexpr std::int64_t RefillStep = 64 * 1024;

// Lets a transfer held back by a full buffer of ours go on. The time it was held is not the
// server's: the speed floor counts afresh from here.
void resume(RequestState& state)
{
    state.paused = false;
    state.limits.restartSpeedCount(SteadyClock::now(), state.received);
    curl_easy_pause(state.easy.get(), CURLPAUSE_CONT);
}

} // namespace

InternetRequest::InternetRequest(std::unique_ptr<RequestState> state)
    : m_state(std::move(state))
{
}

InternetRequest::~InternetRequest() = default;

int InternetRequest::statusCode() const
{
    long code = 0;
    curl_easy_getinfo(m_state->easy.get(), CURLINFO_RESPONSE_CODE, &code);
    return static_cast<int>(code);
}

QString InternetRequest::finalUrl() const
{
    char* url = nullptr;
    curl_easy_getinfo(m_state->easy.get(), CURLINFO_EFFECTIVE_URL, &url);
    return url ? QString::fromUtf8(url) : QString();
}

std::int64_t InternetRequest::contentLength() const
{
    return m_state->contentLength;
}

CalendarTime InternetRequest::lastModified() const
{
    // As it came: the date is parsed only for a caller that asks for it.
    const QByteArrayView date = m_state->responseHeaders.last("last-modified");
    return date.isEmpty() ? CalendarTime{} : parseHttpDate(date.toByteArray());
}

QString InternetRequest::header(const QByteArray& name) const
{
    return QString::fromUtf8(m_state->responseHeaders.first(name));
}

InternetResult InternetRequest::read(char* data, std::int64_t maxSize, std::int64_t& bytesRead)
{
    RequestState& state = *m_state;
    bytesRead = 0;
    if (maxSize <= 0)
        return InternetResult::success();
    if (state.buffered() == 0 && !state.done) {
        if (state.paused)
            resume(state);
        const auto result = state.core->waitFor(state, [&state] { return state.buffered() > 0; },
                                                state.core->silenceLimitMs());
        if (result != SessionCore::WaitResult::Ready)
            return state.waitOutcome(result);
    }
    const std::int64_t available = state.buffered();
    if (available == 0) {
        if (state.result != CURLE_OK)
            return state.curlFailure(state.result);
        return InternetResult::success();
    }
    const std::int64_t count = std::min(available, maxSize);
    std::memcpy(data, state.body.data() + state.head, static_cast<std::size_t>(count));
    state.head += static_cast<std::size_t>(count);
    bytesRead = count;
    // Take in what has arrived now and then, so the sender never waits for a full buffer
    // of ours to drain.
    state.readSinceDrive += count;
    if (state.readSinceDrive >= RefillStep && !state.done) {
        state.readSinceDrive = 0;
        if (state.paused && state.buffered() < RefillStep)
            resume(state);
        if (!state.paused)
            state.core->drive();
    }
    return InternetResult::success();
}

} // namespace platform
