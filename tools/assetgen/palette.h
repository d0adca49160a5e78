#pragma once
// The game's 237 colours and the palette bitmap that carries them.
#include <cstdint>
#include <vector>

#include "gfx/palette_colours.h"

inline constexpr int GAME_COLOUR_COUNT = 237;

// Colours 0 .. 236 of the game palette.
std::vector<PaletteColour> gameColours();

// A complete .bmp file: 1 x 1 pixel, 8 bits per pixel, the game colours as its
// colour table (colours used: 237).
std::vector<std::uint8_t> paletteBitmapFile();
