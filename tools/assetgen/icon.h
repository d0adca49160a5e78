#pragma once
// The program icon: one 32 x 32 picture in the sixteen standard colours.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gfx/palette_colours.h"
#include "text_sources.h"

inline constexpr int ICON_SIZE = 32;

// The sixteen colours of the icon, in the order of the standard VGA palette.
const std::vector<PaletteColour>& iconColours();

// A complete .ico file; nothing when the picture is not 32 x 32 of colours
// 0-15 and CLEAR; `fault` then says why.
std::optional<std::vector<std::uint8_t>> iconFile(const PixelMap& picture, std::string& fault);
