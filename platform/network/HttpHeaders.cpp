#include "platform/network/HttpHeaders.h"

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
    result.name = line.first(colon).trimmed();
    result.value = line.sliced(colon + 1).trimmed();
    return result;
}

bool isFieldName(QByteArrayView name, QByteArrayView wanted)
{
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

void HttpHeaderFields::clear()
{
    m_text.clear();
    m_fields.clear();
}

void HttpHeaderFields::append(QByteArrayView name, QByteArrayView value)
{
    // Room for a usual head at once, so it grows once at most.
    constexpr qsizetype UsualHead = 1024;
    constexpr std::size_t UsualFields = 16;
    if (m_text.capacity() < UsualHead)
        m_text.reserve(UsualHead);
    if (m_fields.capacity() < UsualFields)
        m_fields.reserve(UsualFields);
    const qsizetype nameAt = m_text.size();
    m_text.append(name);
    const qsizetype valueAt = m_text.size();
    m_text.append(value);
    m_fields.push_back({nameAt, name.size(), valueAt, value.size()});
}

QByteArrayView HttpHeaderFields::name(qsizetype index) const
{
    const Field& field = m_fields[static_cast<std::size_t>(index)];
    return QByteArrayView(m_text).sliced(field.nameAt, field.nameSize);
}

QByteArrayView HttpHeaderFields::value(qsizetype index) const
{
    const Field& field = m_fields[static_cast<std::size_t>(index)];
    // Not null when present: an empty value differs from none.
    return QByteArrayView(m_text.constData() + field.valueAt, field.valueSize);
}

QByteArrayView HttpHeaderFields::first(QByteArrayView wanted) const
{
    for (qsizetype i = 0; i < size(); ++i) {
        if (isFieldName(name(i), wanted))
            return value(i);
    }
    return {};
}

QByteArrayView HttpHeaderFields::last(QByteArrayView wanted) const
{
    for (qsizetype i = size() - 1; i >= 0; --i) {
        if (isFieldName(name(i), wanted))
            return value(i);
    }
    return {};
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

std::int64_t parseContentLength(QByteArrayView value)
{
    if (value.isEmpty() || value.front() < '0' || value.front() > '9')
        return -1;
    bool ok = false;
    const qint64 length = value.toLongLong(&ok);
    return ok && length >= 0 ? length : -1;
}

} // namespace platform
