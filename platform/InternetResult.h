#pragma once

#include <QString>

namespace platform {

// The outcome of a call into the internet layer: ok, or an error number of the layer
// (see InternetErrors.h) with the library's own text.
struct InternetResult {
    bool ok = true;
    int code = 0;
    QString message;

    static InternetResult success() { return {}; }
    static InternetResult failure(int code, const QString& message) { return {false, code, message}; }
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
