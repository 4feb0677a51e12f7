#include "platform/network/FtpListing.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>

namespace platform {

namespace {

constexpr std::uint64_t TicksPerSecond = 10000000;
constexpr std::int64_t DaysFrom1601To1970 = 134774;

std::uint64_t fileTimeOf(const QDate& date, int hour, int minute, int second)
{
    if (!date.isValid() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return 0;
    const std::int64_t days = QDate(1970, 1, 1).daysTo(date) + DaysFrom1601To1970;
    if (days < 0)
        return 0;
    const std::uint64_t seconds = std::uint64_t(days) * 86400 + std::uint64_t(hour * 3600 + minute * 60 + second);
    return seconds * TicksPerSecond;
}

int monthNumber(const QString& name)
{
    static const QStringList months = {QStringLiteral("jan"), QStringLiteral("feb"), QStringLiteral("mar"),
                                       QStringLiteral("apr"), QStringLiteral("may"), QStringLiteral("jun"),
                                       QStringLiteral("jul"), QStringLiteral("aug"), QStringLiteral("sep"),
                                       QStringLiteral("oct"), QStringLiteral("nov"), QStringLiteral("dec")};
    return int(months.indexOf(name.left(3).toLower())) + 1;
}

std::int64_t sizeOf(const QString& digits, bool* ok)
{
    const qlonglong value = digits.toLongLong(ok);
    if (*ok && value < 0)
        *ok = false;
    return value;
}

// A time instead of a year is how `ls` shows a recent date. A server whose clock or time zone
// runs ahead of ours shows a file changed minutes ago as tomorrow, so such a date is in the
// current year unless it would lie more than six months ahead; then it is last year's. Near
// the year's end "tomorrow" is next January: local times around the world lie at most 26
// hours apart, so a date up to two days ahead is taken in the next year when that is where it
// falls. Invalid for a 29 February that the chosen year does not have.
QDate recentDate(int month, int day, const QDate& today)
{
    if (!today.isValid())
        return {};
    constexpr int ClockLeadDays = 2;
    const QDate nextYears(today.year() + 1, month, day);
    if (nextYears.isValid() && nextYears <= today.addDays(ClockLeadDays))
        return nextYears;
    const QDate thisYears(today.year(), month, day);
    if (thisYears.isValid() && thisYears <= today.addMonths(6))
        return thisYears;
    return QDate(today.year() - 1, month, day);
}

// "-rw-r--r--   1 owner group   1234 Jan 10 12:34 name" or "... Jan 10  2024 name".
std::optional<FtpFindData> parseUnix(const QString& line, int refYear, int refMonth, int refDay)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^([-dlbcps])[-rwxsStTl+.@]{9}\\S*\\s+\\d+\\s+(?:\\S+\\s+){1,2}?(\\d+)\\s+"
        "([A-Za-z]{3})\\s+(\\d{1,2})\\s+(?:(\\d{1,2}):(\\d{2})|(\\d{4}))\\s(.*)$"));
    const QRegularExpressionMatch m = pattern.match(line);
    if (!m.hasMatch())
        return std::nullopt;
    FtpFindData entry;
    bool ok = false;
    entry.size = sizeOf(m.captured(2), &ok);
    if (!ok)
        return std::nullopt;
    const int month = monthNumber(m.captured(3));
    const int day = m.captured(4).toInt();
    QDate date;
    int hour = 0;
    int minute = 0;
    if (!m.captured(7).isEmpty()) {
        date = QDate(m.captured(7).toInt(), month, day);
    } else {
        hour = m.captured(5).toInt();
        minute = m.captured(6).toInt();
        date = recentDate(month, day, QDate(refYear, refMonth, refDay));
    }
    entry.lastWriteTime = fileTimeOf(date, hour, minute, 0);

    QString name = m.captured(8);
    const QChar type = m.captured(1).at(0);
    if (type == u'l') {
        const qsizetype arrow = name.indexOf(QStringLiteral(" -> "));
        if (arrow >= 0)
            name.truncate(arrow);
    }
    if (type == u'd')
        entry.attributes = FtpFindData::DirectoryAttribute;
    entry.name = name;
    return entry;
}

// "01-10-24  12:34PM       <DIR>          name" or "01-10-2024  12:34  1234 name".
std::optional<FtpFindData> parseDos(const QString& line)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(\\d{2})-(\\d{2})-(\\d{2}|\\d{4})\\s+(\\d{1,2}):(\\d{2})\\s*([AaPp][Mm])?\\s+(<DIR>|\\d+)\\s+(.*)$"));
    const QRegularExpressionMatch m = pattern.match(line);
    if (!m.hasMatch())
        return std::nullopt;
    FtpFindData entry;
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        year += year < 70 ? 2000 : 1900;
    int hour = m.captured(4).toInt();
    const QString half = m.captured(6).toUpper();
    if (half == QStringLiteral("PM") && hour < 12)
        hour += 12;
    if (half == QStringLiteral("AM") && hour == 12)
        hour = 0;
    entry.lastWriteTime = fileTimeOf(QDate(year, m.captured(1).toInt(), m.captured(2).toInt()), hour,
                                     m.captured(5).toInt(), 0);
    if (m.captured(7) == QStringLiteral("<DIR>")) {
        entry.attributes = FtpFindData::DirectoryAttribute;
    } else {
        bool ok = false;
        entry.size = sizeOf(m.captured(7), &ok);
        if (!ok)
            return std::nullopt;
    }
    entry.name = m.captured(8);
    return entry;
}

} // namespace

std::optional<FtpFindData> parseFtpListLine(const QString& line, int referenceYear, int referenceMonth,
                                            int referenceDay)
{
    QString text = line;
    while (text.endsWith(u'\r') || text.endsWith(u'\n'))
        text.chop(1);
    std::optional<FtpFindData> entry = parseUnix(text, referenceYear, referenceMonth, referenceDay);
    if (!entry)
        entry = parseDos(text);
    if (!entry || entry->name.isEmpty())
        return std::nullopt;
    return entry;
}

} // namespace platform
