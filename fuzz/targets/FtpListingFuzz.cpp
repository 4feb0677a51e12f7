// The LIST reader on any line: total, and an entry always has a name and a size of 0 or more.
#include "fuzz/targets/FuzzInput.h"
#include "platform/network/FtpListing.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    FuzzInput input(Data, Size);
    const auto year = input.Take<std::uint16_t>();
    const QString line = input.RestAsLatin1();
    const auto entry = platform::parseFtpListLine(line, year % 3000, 12, 10);
    if (entry && (entry->name.isEmpty() || entry->size < 0))
        std::abort();
    return 0;
}
