#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a steady clock, in 32 bits: differences stay right across a wrap-around.
std::uint32_t tickCount();

} // namespace platform
