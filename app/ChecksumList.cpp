#include "app/ChecksumList.h"

#include <QList>

namespace {

constexpr int HexDigits = 64;

bool IsHex(const QByteArray& Text)
{
    for (const char c : Text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// A name the list may give for a file of its own folder: no folder part, nothing that a
// line of its own or the terminal would take differently.
bool IsPlainName(const QString& Name)
{
    if (Name.isEmpty() || Name == u"." || Name == u"..")
        return false;
    for (const QChar c : Name) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

} // namespace

TChecksumList TChecksumList::Parse(const QByteArray& Text)
{
    TChecksumList list;
    if (Text.size() > MaxSize)
        return list;
    for (QByteArray line : Text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        // sha256sum starts a line with "\" when it had to escape the name; no release
        // file needs that.
        if (line.size() < HexDigits + 3 || line.startsWith('\\'))
            continue;
        const QByteArray sum = line.left(HexDigits);
        const char separator = line[HexDigits];
        const char mode = line[HexDigits + 1];
        if (!IsHex(sum) || separator != ' ' || (mode != ' ' && mode != '*'))
            continue;
        const QString name = QString::fromUtf8(line.mid(HexDigits + 2));
        if (!IsPlainName(name))
            continue;
        const QString hex = QString::fromLatin1(sum).toLower();
        const auto known = list.FSums.constFind(name);
        if (known != list.FSums.constEnd() && *known != hex)
            list.FAmbiguous.insert(name);
        list.FSums.insert(name, hex);
    }
    return list;
}

QString TChecksumList::SHA256Of(const QString& Name) const
{
    if (FAmbiguous.contains(Name))
        return {};
    return FSums.value(Name);
}
