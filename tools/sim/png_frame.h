#pragma once
// The frame buffer as an RGB PNG, coloured through the game's palette.
#include <cstdint>
#include <string>

#include "gfx/palette_colours.h"

// Writes `width` x `height` palette indices to `path`; false with a reason in
// `error` when the file cannot be written.
bool writePngFrame(const std::string& path, const std::uint8_t* indices, int width, int height,
                   const PaletteColours& palette, std::string& error);
