#pragma once
// Pictures in the game's "pvb/rle" format.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text_sources.h"

// The complete resource: signature, big-endian width and height, then the
// pixels as runs (0xFF, colour, count 1-255) where a run is shorter than the
// same pixels as literals, and literals elsewhere. Nothing when a pixel is
// not one of the palette's colours; `fault` then says which.
std::optional<std::vector<std::uint8_t>> encodePvbRle(const PixelMap& picture, std::string& fault);
