#include "transfer/ProgressTexts.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

QString TwoDecimals(double Value, const QString& Point)
{
    QString text = QString::number(Value, 'f', 2);
    return Point == u"." ? text : text.replace(u'.', Point);
}

QString ScaledText(std::int64_t Value, const QString& Point, const char* Bytes, const char* Kilo, const char* Mega)
{
    if (Value < 1000)
        return QString::number(Value) + QLatin1String(Bytes);
    if (Value < 1000000)
        return TwoDecimals(double(Value) / 1000.0, Point) + QLatin1String(Kilo);
    return TwoDecimals(double(Value) / 1000000.0, Point) + QLatin1String(Mega);
}

} // namespace

std::int64_t RoundHalfEven(double Value)
{
    if (std::isnan(Value))
        return 0;
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (Value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (Value < -limit)
        return std::numeric_limits<std::int64_t>::min();
    const double floor = std::floor(Value);
    const double fraction = Value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        rounded = floor + 1.0;
    if (rounded >= limit)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(rounded);
}

QString DecimalPoint()
{
    return QLocale().decimalPoint();
}

QString SizeText(std::int64_t Bytes, const QString& Point)
{
    return ScaledText(Bytes, Point, " bytes", " Kb", " Mb");
}

QString RateText(std::int64_t BytesPerSecond, const QString& Point)
{
    return ScaledText(BytesPerSecond, Point, " bytes/sec", " Kb/sec", " Mb/sec");
}

QString TimeText(std::uint32_t ElapsedMs, const QString& SecWord, const QString& MinWord,
                 std::int64_t Total, std::int64_t Done)
{
    double v = ElapsedMs;
    if (Done > 0 && Total > 0 && Total > Done)
        v = double(Total - Done) / double(Done) * double(ElapsedMs);
    // Only the low 32 bits of the rounded milliseconds count, as with the tick counter.
    const std::uint32_t ms = static_cast<std::uint32_t>(static_cast<std::uint64_t>(RoundHalfEven(v)));
    const std::int64_t secs = RoundHalfEven(ms / 1000.0);
    const std::int64_t mins = RoundHalfEven(secs / 60.0);
    const std::int64_t hours = RoundHalfEven(mins / 60.0);
    if (mins == 0)
        return QString::number(secs) + u' ' + SecWord + u'.';
    if (hours > 0)
        return QString::number(mins / 60) + QStringLiteral("h ") + QString::number(mins % 60);
    return QString::number(mins) + u' ' + MinWord + u'.';
}
