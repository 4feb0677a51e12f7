#include "platform/network/InternetUpload.h"

#include "platform/network/InternetSessionCore.h"

namespace platform {

InternetUpload::InternetUpload(std::unique_ptr<RequestState> state)
    : m_state(std::move(state))
{
}

InternetUpload::~InternetUpload() = default;

namespace {

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
    return state.waitOutcome(state.core->waitFor(state, [&state] { return state.uploadAsked; }, patience));
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
    const InternetResult result = state.waitOutcome(state.core->waitFor(state, drained, state.core->silenceLimitMs()));
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
    return state.waitOutcome(state.core->waitFor(state, [] { return false; }, patience));
}

int InternetUpload::statusCode() const
{
    long code = 0;
    curl_easy_getinfo(m_state->easy.get(), CURLINFO_RESPONSE_CODE, &code);
    return static_cast<int>(code);
}

} // namespace platform
