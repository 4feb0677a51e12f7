// An answer's head as a server might send it: every line is read without harm, a field has a
// name and no surrounding blanks, a date is either absent or real calendar fields, and a
// length is either unknown or the number sent.
#include "platform/network/HttpHeaders.h"

#include <QDate>
#include <QTime>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const QByteArray head(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Size));
    for (const QByteArray& raw : head.split('\n')) {
        const platform::HttpHeaderLine line = platform::parseHttpHeaderLine(raw);
        if (line.kind != platform::HttpHeaderLine::Kind::Field)
            continue;
        if (line.name.isEmpty() || line.name.contains(':') || line.name != line.name.trimmed()
            || line.value != line.value.trimmed())
            std::abort();
        const platform::CalendarTime date = platform::parseHttpDate(line.value.toByteArray());
        if (!date.isNull()
            && (!QDate(date.year, date.month, date.day).isValid() || !QTime(date.hour, date.minute, date.second).isValid()))
            std::abort();
        const std::int64_t length = platform::parseContentLength(line.value);
        if (length < -1 || (length >= 0 && line.value.toLongLong() != length))
            std::abort();
    }
    return 0;
}
