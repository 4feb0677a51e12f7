#include "transfer/UrlHelpers.h"

#include <QByteArray>

namespace {

QString RemoveScheme(const QString& URL)
{
    const qsizetype at = URL.indexOf(QStringLiteral("://"));
    return at < 0 ? URL : URL.mid(at + 3);
}

// Removes "user:password@" standing before the host. An "@" after the first "/" belongs to
// the path. Without any "/" the "@" still marks credentials: they must never be shown as
// part of a server name.
QString RemoveCredentials(const QString& Text)
{
    const qsizetype slash = Text.indexOf(u'/');
    const QString host = slash < 0 ? Text : Text.left(slash);
    const qsizetype at = host.lastIndexOf(u'@');
    return at < 0 ? Text : Text.mid(at + 1);
}

// Where the host part that starts at From ends: at the first "/", "?" or "#", as an address
// parser sees it.
qsizetype AuthorityEnd(const QString& Text, qsizetype From)
{
    qsizetype end = From;
    while (end < Text.size() && Text[end] != u'/' && Text[end] != u'?' && Text[end] != u'#')
        ++end;
    return end;
}

// The host part without the password of its user information.
QString AuthorityWithoutPassword(const QString& Authority)
{
    const qsizetype at = Authority.lastIndexOf(u'@');
    if (at < 0)
        return Authority;
    const qsizetype colon = Authority.left(at).indexOf(u':');
    return colon < 0 ? Authority : Authority.left(colon) + Authority.mid(at);
}

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// Length of a well-formed UTF-8 sequence at Bytes[At], or 0 when none starts there.
int Utf8SequenceLength(const QByteArray& Bytes, qsizetype At)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(Bytes[i]); };
    const unsigned char lead = byte(At);
    int length = 0;
    unsigned char min2 = 0x80, max2 = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) min2 = 0xA0;      // no overlong forms
        if (lead == 0xED) max2 = 0x9F;      // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) min2 = 0x90;
        if (lead == 0xF4) max2 = 0x8F;      // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (At + length > Bytes.size())
        return 0;
    if (byte(At + 1) < min2 || byte(At + 1) > max2)
        return 0;
    for (int i = 2; i < length; ++i) {
        if ((byte(At + i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// A run of escaped bytes: UTF-8 sequences become their character, other bytes stay Latin-1.
void AppendDecodedBytes(QString& Out, const QByteArray& Bytes)
{
    for (qsizetype i = 0; i < Bytes.size();) {
        const int length = Utf8SequenceLength(Bytes, i);
        if (length > 0) {
            Out += QString::fromUtf8(Bytes.constData() + i, length);
            i += length;
        } else {
            Out += QChar(static_cast<unsigned char>(Bytes[i]));
            ++i;
        }
    }
}

} // namespace

QString ServerFromURL(const QString& URL)
{
    QString text = RemoveCredentials(RemoveScheme(URL));
    const qsizetype slash = text.indexOf(u'/');
    if (slash >= 0)
        text.truncate(slash);
    return text;
}

QString PathFromURL(const QString& URL)
{
    const QString text = RemoveCredentials(RemoveScheme(URL));
    const qsizetype slash = text.indexOf(u'/');
    return slash < 0 ? text : text.mid(slash);
}

QString LoginHostFromURL(const QString& URL)
{
    QString text = RemoveScheme(URL);
    const qsizetype slash = text.indexOf(u'/');
    if (slash >= 0)
        text.truncate(slash);
    const qsizetype backslash = text.indexOf(u'\\');
    if (backslash >= 0)
        text.truncate(backslash);
    return RemoveCredentials(text);
}

QString URLWithoutPassword(const QString& Text)
{
    // Only user information holds a password, and it ends with "@".
    if (!Text.contains(u'@'))
        return Text;
    const QString schemeEnd = QStringLiteral("://");
    qsizetype scheme = Text.indexOf(schemeEnd);
    qsizetype authority = scheme < 0 ? 0 : scheme + schemeEnd.size();
    QString result;
    result.reserve(Text.size());
    qsizetype copied = 0;
    for (;;) {
        result += QStringView(Text).mid(copied, authority - copied);
        const qsizetype end = AuthorityEnd(Text, authority);
        result += AuthorityWithoutPassword(Text.mid(authority, end - authority));
        copied = end;
        scheme = Text.indexOf(schemeEnd, end);
        if (scheme < 0)
            break;
        authority = scheme + schemeEnd.size();
    }
    result += QStringView(Text).mid(copied);
    return result;
}

QString NameFromURL(const QString& Text)
{
    QString name = Text.mid(Text.lastIndexOf(u'/') + 1);
    return name.mid(name.lastIndexOf(u'\\') + 1);
}

QString SlashPath(const QString& Path)
{
    QString result = Path;
    return result.replace(u'\\', u'/');
}

QString URLDecode(const QString& Text)
{
    QString out;
    out.reserve(Text.size());
    QByteArray pending;
    const qsizetype n = Text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (Text[i] != u'%') {
            AppendDecodedBytes(out, pending);
            pending.clear();
            out += Text[i];
            continue;
        }
        if (n - i - 1 < 2)
            continue; // a "%" too close to the end is dropped
        const int high = HexValue(Text[i + 1]);
        const int low = HexValue(Text[i + 2]);
        if (high >= 0 && low >= 0)
            pending += static_cast<char>(high * 16 + low);
        i += 2; // a malformed escape vanishes with its two characters
    }
    AppendDecodedBytes(out, pending);
    return out;
}
