#pragma once
// A picture of the game as an RGB PNG, coloured through the game's palette.
#include <string>

#include "gfx/image.h"
#include "gfx/palette_colours.h"

// Writes `picture` to `path`; false with a reason in `error` when the file
// cannot be written.
bool writePngFrame(const std::string& path, const Image& picture, const PaletteColours& palette, std::string& error);
