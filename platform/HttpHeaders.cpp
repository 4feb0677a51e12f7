#include "platform/HttpHeaders.h"

#include <QDateTime>

#include <curl/curl.h>

namespace platform {

HttpHeaderLine parseHttpHeaderLine(QByteArrayView raw)
{
    // Read in place: only the name and the value are copied out.
    const QByteArrayView line = raw.trimmed();
    HttpHeaderLine result;
    if (line.startsWith("HTTP/")) {
        result.kind = HttpHeaderLine::Kind::StatusLine;
        return result;
    }
    if (line.isEmpty()) {
        result.kind = HttpHeaderLine::Kind::End;
        return result;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return result;
    result.kind = HttpHeaderLine::Kind::Field;
    result.name = line.first(colon).trimmed().toByteArray().toLower();
    result.value = line.sliced(colon + 1).trimmed().toByteArray();
    return result;
}

CalendarTime parseHttpDate(const QByteArray& text)
{
    // curl_getdate reads up to a NUL; a NUL inside the value must not cut it short unnoticed.
    if (text.contains('\0'))
        return {};
    const time_t seconds = curl_getdate(text.constData(), nullptr);
    if (seconds < 0)
        return {};
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    const QDate date = utc.date();
    const QTime time = utc.time();
    if (!date.isValid() || date.year() < 1 || date.year() > 65535)
        return {};
    CalendarTime result;
    result.year = static_cast<quint16>(date.year());
    result.month = static_cast<quint16>(date.month());
    result.dayOfWeek = static_cast<quint16>(date.dayOfWeek() % 7); // Sunday is 0
    result.day = static_cast<quint16>(date.day());
    result.hour = static_cast<quint16>(time.hour());
    result.minute = static_cast<quint16>(time.minute());
    result.second = static_cast<quint16>(time.second());
    return result;
}

std::int64_t parseContentLength(const QByteArray& value)
{
    if (value.isEmpty() || value.front() < '0' || value.front() > '9')
        return -1;
    bool ok = false;
    const qint64 length = value.toLongLong(&ok);
    return ok && length >= 0 ? length : -1;
}

} // namespace platform
