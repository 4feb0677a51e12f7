#pragma once

#include "transfer/WebTransferTypes.h"

#include <QDateTime>

#include <cstdint>

// A calendar-field time record, as the internet layer reports a server's Last-Modified time.
// All fields zero means "no date".
struct TSystemTime {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0;
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;
};

// 100-nanosecond intervals since 1601-01-01, taken as calendar fields without any time-zone
// change.
TDateTime FileTimeToDate(std::uint64_t FileTime);
// The record's date; the current local date and time when the record is empty or not a valid
// calendar date.
TDateTime SystemTimeToDate(const TSystemTime& Time);

// The date value of a QDateTime's own calendar fields (no time-zone change); 0 when invalid.
TDateTime DateTimeFromQDateTime(const QDateTime& Value);
