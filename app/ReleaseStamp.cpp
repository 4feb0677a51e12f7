#include "app/ReleaseStamp.h"

#include <QRegularExpression>

std::optional<TReleaseStamp> TReleaseStamp::Parse(const QString& Comment)
{
    // Eighteen digits always fit the serial's 64 bits.
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral("kaplix ([0-9]{1,4}(?:\\.[0-9]{1,4}){0,3}) ([a-z0-9]{1,16}) serial=([0-9]{1,18}) "
                       "expires=([0-9]{4}-[0-9]{2}-[0-9]{2})")));
    const QRegularExpressionMatch match = form.match(Comment);
    if (!match.hasMatch())
        return std::nullopt;
    TReleaseStamp stamp;
    stamp.Version = match.captured(1);
    stamp.Directory = match.captured(2);
    stamp.Serial = match.captured(3).toULongLong();
    stamp.Expires = QDate::fromString(match.captured(4), QStringLiteral("yyyy-MM-dd"));
    if (!stamp.Expires.isValid())
        return std::nullopt;
    return stamp;
}
