#pragma once

#include "platform/network/InternetResult.h"

#include <chrono>
#include <cstdint>

namespace platform {

// How slowly a server may answer one request, beyond the silence time-outs: a server that
// sends a header line a second, or a byte a second, is never silent, yet would keep a request
// alive for ever. Two limits, each off until it is set: a deadline by which the head of the
// answer (status line and headers) must be complete, and a floor under the speed of its body.
// Either one broken fails the request as a connection gone silent would.
class AnswerLimits {
public:
    using Clock = std::chrono::steady_clock;

    // The head must be complete within milliseconds of start; 0 or less for no deadline.
    void setHeadDeadline(Clock::time_point start, int milliseconds);
    // The body must bring at least bytesPerSecond on average over any seconds it takes;
    // either 0 or less for no floor.
    void setSpeedFloor(int bytesPerSecond, int seconds);
    // The body is counted from now, with received bytes of it so far: once its head is in,
    // and again whenever the transfer goes on after our side held it (a full buffer of ours
    // is no slow server).
    void restartSpeedCount(Clock::time_point now, std::int64_t received);

    // Ok while the answer keeps to the limits; otherwise the failure that says which limit
    // it broke ("no complete answer within 60 s", "slower than 1 KiB/s for 30 s").
    InternetResult check(Clock::time_point now, bool headComplete, std::int64_t received);

private:
    int m_headMs = 0;
    Clock::time_point m_headDeadline;
    int m_floorBytesPerSecond = 0;
    int m_floorSeconds = 0;
    bool m_counting = false;
    Clock::time_point m_countStart;
    std::int64_t m_countBytes = 0;
};

} // namespace platform
