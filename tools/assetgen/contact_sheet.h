#pragma once
// The contact sheet: every picture at four times its size, in its real
// colours, on one PNG for people to look at.
#include <filesystem>
#include <vector>

#include "gfx/palette_colours.h"

struct ColourPicture {
    int width = 0;
    int height = 0;
    std::vector<PaletteColour> pixels;  // row by row from the top
};

// Each group starts a new row; pictures taller than the rows allow stand in a
// column on the left. False when the file cannot be written.
bool writeContactSheet(const std::filesystem::path& file, const std::vector<std::vector<ColourPicture>>& groups);
