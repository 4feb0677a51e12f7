#pragma once

#include <QString>

#include <memory>

namespace platform {

// The outcome of a call into the platform layer: ok, or an error number with its text (the
// internet layer's numbers, see InternetErrors.h, or a system error number for a share).
struct InternetResult {
    bool ok = true;
    int code = 0;
    QString message;
    // The server answered, but more slowly than a limit of the session allows (see
    // AnswerLimits): the message names the limit.
    bool tooSlow = false;

    static InternetResult success() { return {}; }
    static InternetResult failure(int code, const QString& message) { return {false, code, message}; }
};

// What opening something gives back: the open object, or none and the reason why.
template <class T>
struct Opened {
    std::unique_ptr<T> handle;
    InternetResult result;

    static Opened failure(const InternetResult& reason) { return {nullptr, reason}; }
};

// A calendar-field time as a server reports it (UTC); all fields zero when there is none.
struct CalendarTime {
    quint16 year = 0;
    quint16 month = 0;
    quint16 dayOfWeek = 0;
    quint16 day = 0;
    quint16 hour = 0;
    quint16 minute = 0;
    quint16 second = 0;
    quint16 milliseconds = 0;

    bool isNull() const { return year == 0 && month == 0 && day == 0; }
};

} // namespace platform
