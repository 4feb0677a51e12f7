#include "platform/network/AnswerLimits.h"

#include "platform/network/InternetErrors.h"

#include <QLocale>

namespace platform {

namespace {

// "1.5 s", "60 s": a deadline as a person reads it.
QString secondsText(int milliseconds)
{
    return QString::number(milliseconds / 1000.0) + QStringLiteral(" s");
}

// "1 KiB/s", "1.5 KiB/s", "500 bytes/s".
QString speedText(int bytesPerSecond)
{
    const int precision = bytesPerSecond % 1024 == 0 ? 0 : 1;
    return QLocale::c().formattedDataSize(bytesPerSecond, precision, QLocale::DataSizeIecFormat) + QStringLiteral("/s");
}

} // namespace

void AnswerLimits::setHeadDeadline(Clock::time_point start, int milliseconds)
{
    m_headMs = milliseconds > 0 ? milliseconds : 0;
    m_headDeadline = start + std::chrono::milliseconds(m_headMs);
}

void AnswerLimits::setSpeedFloor(int bytesPerSecond, int seconds)
{
    const bool on = bytesPerSecond > 0 && seconds > 0;
    m_floorBytesPerSecond = on ? bytesPerSecond : 0;
    m_floorSeconds = on ? seconds : 0;
}

void AnswerLimits::restartSpeedCount(Clock::time_point now, std::int64_t received)
{
    m_counting = true;
    m_countStart = now;
    m_countBytes = received;
}

InternetResult AnswerLimits::check(Clock::time_point now, bool headComplete, std::int64_t received)
{
    if (!headComplete) {
        if (m_headMs > 0 && now >= m_headDeadline)
            return slowAnswerResult(QStringLiteral("no complete answer within ") + secondsText(m_headMs));
        return InternetResult::success();
    }
    if (m_floorSeconds == 0 || !m_counting)
        return InternetResult::success();
    // Counted in periods of the floor's length: a period that brought less than the floor asks
    // for fails the body; one that brought enough starts the next.
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - m_countStart).count();
    if (elapsed < static_cast<std::int64_t>(m_floorSeconds) * 1000)
        return InternetResult::success();
    const std::int64_t wanted = static_cast<std::int64_t>(m_floorBytesPerSecond) * elapsed / 1000;
    if (received - m_countBytes < wanted)
        return slowAnswerResult(QStringLiteral("slower than %1 for %2 s").arg(speedText(m_floorBytesPerSecond)).arg(m_floorSeconds));
    restartSpeedCount(now, received);
    return InternetResult::success();
}

} // namespace platform
