#pragma once

#include "platform/network/InternetResult.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <vector>

namespace platform {

// One line of an answer's head as it arrives from the server. The name and the value are
// views into that line.
struct HttpHeaderLine {
    enum class Kind { StatusLine, End, Field, Other };
    Kind kind = Kind::Other;
    QByteArrayView name;  // a field's name as sent, without surrounding blanks
    QByteArrayView value; // a field's value without surrounding blanks
};

HttpHeaderLine parseHttpHeaderLine(QByteArrayView line);
// Whether a field's name is the one wanted; field names have no letter case.
bool isFieldName(QByteArrayView name, QByteArrayView wanted);

// The fields of one answer's head, kept in one block of text: taking a field in costs no
// allocation of its own, which counts for a long list of small files.
class HttpHeaderFields {
public:
    void clear();
    void append(QByteArrayView name, QByteArrayView value);

    qsizetype size() const { return static_cast<qsizetype>(m_fields.size()); }
    QByteArrayView name(qsizetype index) const;
    QByteArrayView value(qsizetype index) const;
    // The value of the first, or the last, field of that name (in any letter case); null
    // when there is none.
    QByteArrayView first(QByteArrayView wanted) const;
    QByteArrayView last(QByteArrayView wanted) const;

private:
    struct Field {
        qsizetype nameAt;
        qsizetype nameSize;
        qsizetype valueAt;
        qsizetype valueSize;
    };
    QByteArray m_text;
    std::vector<Field> m_fields;
};
// An HTTP date (any of the three forms servers use) as calendar fields in UTC; all zero when
// the text is not a date.
CalendarTime parseHttpDate(const QByteArray& text);
// A Content-Length value; -1 when it is not a single non-negative number.
std::int64_t parseContentLength(QByteArrayView value);

} // namespace platform
