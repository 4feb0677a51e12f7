#include "platform/network/RequestAddress.h"

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

bool mustEscape(unsigned char c)
{
    if (c < 0x21 || c > 0x7E)
        return true;
    switch (c) {
    case '"': case '<': case '>': case '\\': case '^': case '`': case '{': case '|': case '}':
        return true;
    default:
        return false;
    }
}

// Where the path begins: after "scheme://" and the host (with user and port), at the first
// "/", "?" or "#". The host is left alone: a name beyond ASCII is the resolver's business.
qsizetype pathStart(const QByteArray& url)
{
    qsizetype from = 0;
    const qsizetype scheme = url.indexOf("://");
    const auto isSchemeChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    };
    if (scheme > 0 && std::all_of(url.cbegin(), url.cbegin() + scheme, isSchemeChar))
        from = scheme + 3;
    for (qsizetype i = from; i < url.size(); ++i) {
        if (url[i] == '/' || url[i] == '?' || url[i] == '#')
            return i;
    }
    return url.size();
}

} // namespace

QByteArray requestAddress(const QString& url)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = url.toUtf8();
    const qsizetype start = pathStart(utf8);
    if (std::none_of(utf8.cbegin() + start, utf8.cend(), [](char c) { return mustEscape(static_cast<unsigned char>(c)); }))
        return utf8;
    QByteArray result = utf8.left(start);
    result.reserve(utf8.size());
    for (qsizetype i = start; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (mustEscape(c)) {
            result += '%';
            result += Hex[c >> 4];
            result += Hex[c & 0x0F];
        } else {
            result += static_cast<char>(c);
        }
    }
    return result;
}

} // namespace platform
