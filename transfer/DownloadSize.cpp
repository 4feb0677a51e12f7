#include "transfer/DownloadSize.h"

#include <algorithm>
#include <limits>

std::int64_t TDownloadSize::Limit() const
{
    if (Expected >= 0 && Max >= 0)
        return std::min(Expected, Max);
    return Expected >= 0 ? Expected : (Max >= 0 ? Max : -1);
}

bool TDownloadSize::Fits(std::int64_t Size) const
{
    return (Expected < 0 || Size == Expected) && (Max < 0 || Size <= Max);
}

bool TDownloadSize::MayBe(std::int64_t Size) const
{
    return Size < 0 || Fits(Size);
}

std::int64_t TDownloadSize::NextRead(std::int64_t Done, std::int64_t Block) const
{
    const std::int64_t limit = Limit();
    if (limit < 0 || limit == std::numeric_limits<std::int64_t>::max())
        return Block;
    return std::clamp<std::int64_t>(limit + 1 - Done, 0, Block);
}
