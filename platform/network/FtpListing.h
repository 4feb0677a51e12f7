#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace platform {

// One entry of a remote directory listing.
struct FtpFindData {
    static constexpr std::uint32_t DirectoryAttribute = 0x10;
    static constexpr std::uint32_t NormalAttribute = 0x80;

    QString name;
    std::uint32_t attributes = NormalAttribute;
    std::int64_t size = 0;
    // Last-write time as 100-nanosecond intervals since 1601-01-01, taken as the server
    // gives it (no time-zone change); 0 when the listing shows none.
    std::uint64_t lastWriteTime = 0;
};

// Reads one line of a LIST answer in the Unix "ls -l" form or the DOS form. Lines that name
// no entry (a "total" line, blank or unreadable lines) give nothing. A Unix entry that shows a
// time instead of a year is dated in the reference day's year (our today) unless it would lie
// more than six months after that day, then in the year before; a date a day or two after
// the reference day that falls in the next January is dated in the next year.
std::optional<FtpFindData> parseFtpListLine(const QString& line, int referenceYear, int referenceMonth,
                                            int referenceDay);

} // namespace platform
