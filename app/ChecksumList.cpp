#include "app/ChecksumList.h"

#include <QList>
#include <QRegularExpression>

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

// Keeps Value for Name; a name given two different values keeps none.
template <class T>
void Enter(QHash<QString, T>& Values, QSet<QString>& Ambiguous, const QString& Name, const T& Value)
{
    const auto known = Values.constFind(Name);
    if (known != Values.constEnd() && *known != Value)
        Ambiguous.insert(Name);
    Values.insert(Name, Value);
}

} // namespace

TChecksumList TChecksumList::Parse(const QByteArray& Text)
{
    TChecksumList list;
    if (Text.size() > MaxSize)
        return list;
    // Eighteen digits always fit 64 bits.
    static const QRegularExpression sizeLine(QRegularExpression::anchoredPattern(QStringLiteral("# size ([0-9]{1,18}) (.+)")));
    for (QByteArray line : Text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith('#')) {
            const QRegularExpressionMatch size = sizeLine.match(QString::fromUtf8(line));
            if (size.hasMatch() && IsPlainName(size.captured(2)))
                Enter(list.FSizes, list.FAmbiguousSizes, size.captured(2), std::int64_t(size.captured(1).toLongLong()));
            continue;
        }
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
        if (IsPlainName(name))
            Enter(list.FSums, list.FAmbiguous, name, QString::fromLatin1(sum).toLower());
    }
    return list;
}

QString TChecksumList::SHA256Of(const QString& Name) const
{
    if (FAmbiguous.contains(Name))
        return {};
    return FSums.value(Name);
}

std::int64_t TChecksumList::SizeOf(const QString& Name) const
{
    if (FAmbiguousSizes.contains(Name))
        return -1;
    return FSizes.value(Name, -1);
}
