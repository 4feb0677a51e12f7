#pragma once

#include <cstdint>

// Small types shared by the styled controls; each is stored in one byte.
enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TBorderStyle : std::uint8_t { bsNone, bsSingle, bsDouble };

// The pointer's relation to a glyph, in the order a glyph is chosen: pressed before hot.
enum TGlyphPointerState : std::uint8_t { gpNormal, gpHot, gpPressed };

// Packs a four-part version one byte per part, most significant part first.
constexpr std::uint32_t PackVersion(int Major, int Minor, int Release, int Build)
{
    return (std::uint32_t(Major & 0xFF) << 24) | (std::uint32_t(Minor & 0xFF) << 16)
        | (std::uint32_t(Release & 0xFF) << 8) | std::uint32_t(Build & 0xFF);
}
