#pragma once

#include "platform/InternetResult.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

namespace platform {

// One line of an answer's head as it arrives from the server.
struct HttpHeaderLine {
    enum class Kind { StatusLine, End, Field, Other };
    Kind kind = Kind::Other;
    QByteArray name;  // a field's name in lower case
    QByteArray value; // a field's value without surrounding blanks
};

HttpHeaderLine parseHttpHeaderLine(QByteArrayView line);
// An HTTP date (any of the three forms servers use) as calendar fields in UTC; all zero when
// the text is not a date.
CalendarTime parseHttpDate(const QByteArray& text);
// A Content-Length value; -1 when it is not a single non-negative number.
std::int64_t parseContentLength(const QByteArray& value);

} // namespace platform
