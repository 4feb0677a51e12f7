#pragma once

#include <QString>

#include <cstdint>

// The texts of the progress dialog: sizes, rates and times.

// Nearest integer, ties to the even neighbour (2.5 gives 2, 3.5 gives 4). Values beyond the
// 64-bit range are clamped to it; not-a-number gives 0.
std::int64_t RoundHalfEven(double Value);

// The locale's decimal separator, which the texts below use unless they are given one: a
// caller writing several texts at once asks for it once.
QString DecimalPoint();
// "999 bytes", "1.50 Kb", "2.00 Mb": decimal units, two decimals with the locale's separator.
QString SizeText(std::int64_t Bytes, const QString& Point = DecimalPoint());
// The same thresholds with " bytes/sec", " Kb/sec" and " Mb/sec".
QString RateText(std::int64_t BytesPerSecond, const QString& Point = DecimalPoint());
// The time left when Done > 0 and 0 < Done < Total, otherwise the elapsed time:
// "2 sec.", "3 minutes.", or "2h 30" from the hour onwards.
QString TimeText(std::uint32_t ElapsedMs, const QString& SecWord, const QString& MinWord,
                 std::int64_t Total, std::int64_t Done);
