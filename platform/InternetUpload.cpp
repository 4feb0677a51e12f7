#include "platform/InternetUpload.h"

#include "platform/InternetSessionCore.h"

namespace platform {

InternetUpload::InternetUpload(std::unique_ptr<RequestState> state)
    : m_state(std::move(state))
{
}

InternetUpload::~InternetUpload() = default;

namespace {

InternetResult waitResult(RequestState& state, SessionCore::WaitResult result)
{
    if (result == SessionCore::WaitResult::Aborted)
        return state.curlFailure(CURLE_ABORTED_BY_CALLBACK);
    if (result == SessionCore::WaitResult::TimedOut)
        return state.curlFailure(CURLE_OPERATION_TIMEDOUT);
    if (state.done && state.result != CURLE_OK)
        return state.curlFailure(state.result);
    return InternetResult::success();
}

void resume(RequestState& state)
{
    if (state.uploadPaused) {
        state.uploadPaused = false;
        curl_easy_pause(state.easy.get(), CURLPAUSE_CONT);
    }
}

} // namespace

InternetResult InternetUpload::begin()
{
    RequestState& state = *m_state;
    const std::int64_t patience = state.core->silenceLimitMs();
    return waitResult(state, state.core->waitFor(state, [&state] { return state.uploadAsked; }, patience));
}

InternetResult InternetUpload::write(const char* data, std::int64_t size)
{
    RequestState& state = *m_state;
    if (size <= 0)
        return InternetResult::success();
    if (state.done)
        return state.result != CURLE_OK ? state.curlFailure(state.result) : state.curlFailure(CURLE_SEND_ERROR);
    state.upload.assign(data, data + size);
    state.uploadHead = 0;
    state.lastActivity = SteadyClock::now();
    resume(state);
    const auto drained = [&state] { return state.uploadHead == state.upload.size(); };
    const InternetResult result = waitResult(state, state.core->waitFor(state, drained, state.core->silenceLimitMs()));
    if (result.ok && !drained())
        return state.curlFailure(CURLE_SEND_ERROR); // the transfer ended before taking it all
    return result;
}

InternetResult InternetUpload::finish()
{
    RequestState& state = *m_state;
    state.uploadEnded = true;
    state.lastActivity = SteadyClock::now();
    resume(state);
    const std::int64_t patience = state.core->silenceLimitMs();
    return waitResult(state, state.core->waitFor(state, [] { return false; }, patience));
}

int InternetUpload::statusCode() const
{
    long code = 0;
    curl_easy_getinfo(m_state->easy.get(), CURLINFO_RESPONSE_CODE, &code);
    return static_cast<int>(code);
}

} // namespace platform
