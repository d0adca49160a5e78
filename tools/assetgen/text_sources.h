#pragma once
// The editable picture sources: text files in which every character is one
// pixel, with a legend that gives each character its value.
//
//   // a comment
//   colour <char> <value> <what it is>     legend entry, valid from here on
//   picture <name> <width>x<height>        followed by <height> rows of <width> characters
//
// A value is a number, or "clear" for a pixel the icon leaves transparent.
#include <filesystem>
#include <string>
#include <vector>

inline constexpr int CLEAR = -1;

struct PixelMap {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<int> values;  // row by row from the top, each row left to right

    int at(int x, int y) const { return values[y * width + x]; }
};

std::vector<PixelMap> readPixelMaps(const std::filesystem::path& file);

// The lines of a text file, without their line ends.
std::vector<std::string> readLines(const std::filesystem::path& file);

// Reports a fault in a source file and ends the tool.
[[noreturn]] void failAt(const std::filesystem::path& file, std::size_t line, const std::string& message);
