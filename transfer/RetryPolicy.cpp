#include "transfer/RetryPolicy.h"

#include "platform/network/HttpHeaders.h"
#include "platform/network/InternetErrors.h"
#include "transfer/WebTransferErrors.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <climits>

namespace {

// Doubling from one second reaches the longest wait after this many steps; beyond it the
// shift would only overflow.
constexpr int LastDoublingStep = 6;

int BackOffSeconds(int Attempt)
{
    const int step = std::min(std::max(Attempt, 1) - 1, LastDoublingStep);
    return std::min(1 << step, MaxRetryWaitSeconds);
}

} // namespace

bool IsTransientHttpStatus(int Status)
{
    return Status == 408 || Status == 429 || (Status >= 500 && Status <= 599);
}

bool IsTransientFailure(const TAttemptFailure& Failure)
{
    if (Failure.NotFound || Failure.ErrorCode == weConnect)
        return platform::isTransientFailure(Failure.InternetCode);
    if (Failure.ErrorCode == weInterrupted)
        return true;
    if (Failure.ErrorCode >= platform::InternetErrorBase)
        return platform::isTransientFailure(Failure.ErrorCode);
    return IsTransientHttpStatus(Failure.ErrorCode);
}

int RetryAfterSeconds(const QString& Value, const QDateTime& Now)
{
    const QString text = Value.trimmed();
    if (text.isEmpty())
        return -1;
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        bool inRange = false;
        const qlonglong seconds = text.toLongLong(&inRange);
        return !inRange || seconds > INT_MAX ? INT_MAX : static_cast<int>(seconds);
    }
    const platform::CalendarTime when = platform::parseHttpDate(text.toLatin1());
    if (when.isNull())
        return -1;
    const QDateTime date(QDate(when.year, when.month, when.day), QTime(when.hour, when.minute, when.second),
                         Qt::UTC);
    if (!date.isValid())
        return -1;
    const qint64 until = Now.secsTo(date);
    return until <= 0 ? 0 : (until > INT_MAX ? INT_MAX : static_cast<int>(until));
}

TRetryDecision DecideRetry(const TAttemptFailure& Failure, int Attempt, int Retries, const QDateTime& Now)
{
    if (Attempt > Retries || !IsTransientFailure(Failure))
        return {};
    const int asked = RetryAfterSeconds(Failure.RetryAfter, Now);
    if (asked > MaxRetryWaitSeconds)
        return {};
    return {true, asked >= 0 ? asked : BackOffSeconds(Attempt)};
}

QString RetryWaitLine(int WaitSeconds, int Attempt, int Attempts, const QString& Name)
{
    return QStringLiteral("Waiting %1 s before attempt %2 of %3: %4").arg(WaitSeconds).arg(Attempt).arg(Attempts).arg(Name);
}
