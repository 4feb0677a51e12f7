#include "transfer/TransferRun.h"

#include "transfer/UrlHelpers.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

namespace {

// The separator the user's locale writes between the fields of a format, or Fallback.
QChar SeparatorOf(const QString& Format, QChar Fallback)
{
    for (const QChar c : Format) {
        if (!c.isLetter() && !c.isSpace() && c != u'\'')
            return c;
    }
    return Fallback;
}

} // namespace

void TTransferRun::WriteLog(const QString& Text)
{
    if (LogfileName.isEmpty())
        return;
    QFile file(LogfileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) && !file.open(QIODevice::WriteOnly))
        return;
    const QLocale locale;
    const QChar time = SeparatorOf(locale.timeFormat(QLocale::ShortFormat), u':');
    const QChar date = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), u'/');
    const QString pattern = QStringLiteral("hh'%1'mm dd'%2'MM'%2'yyyy").arg(time, date);
    // A log file outlives the run and is read by others: no password of an address goes in.
    const QString line = QDateTime::currentDateTime().toString(pattern) + QStringLiteral(" : ")
        + URLWithoutPassword(Text) + QStringLiteral("\r\n");
    file.write(line.toUtf8());
}
