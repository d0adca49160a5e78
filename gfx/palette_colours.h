#pragma once
// The game's colours, read from the raw data of the palette bitmap (resource
// 150): its information header followed by its colour table.
#include <array>
#include <cstdint>
#include <span>

struct PaletteColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

using PaletteColours = std::array<PaletteColour, 256>;

// How many colours the header announces: its colours-used count, or 2 to the
// power of its bit count when that is 0; none unless the header is at least
// 40 bytes long with at most 8 bits per pixel. Never more than the data holds
// or than 256.
int paletteColourCount(std::span<const std::uint8_t> bitmapInfo);

// The announced colours in entries 0 .. count-1; black beyond.
PaletteColours readPaletteColours(std::span<const std::uint8_t> bitmapInfo);
