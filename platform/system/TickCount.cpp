#include "platform/system/TickCount.h"

#include <chrono>

namespace platform {

std::uint32_t tickCount()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

} // namespace platform
