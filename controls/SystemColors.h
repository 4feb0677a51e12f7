#pragma once

#include <cstdint>

namespace platform {

// The system colour table: entry index (0 to 30) to an RGB value 0x00BBGGRR. Desktop themes
// differ too much to read one here, so the table holds the standard desktop scheme, which the
// program's designs are drawn against. Unknown entries are black.
std::uint32_t systemColor(int index);

} // namespace platform
