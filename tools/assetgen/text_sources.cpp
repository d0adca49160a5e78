#include "text_sources.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

std::vector<std::string> readLines(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) failAt(file, 0, "cannot be read");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void failAt(const std::filesystem::path& file, std::size_t line, const std::string& message) {
    std::fprintf(stderr, "assetgen: %s:%zu: %s\n", file.string().c_str(), line, message.c_str());
    std::exit(1);
}

std::vector<PixelMap> readPixelMaps(const std::filesystem::path& file) {
    std::vector<std::string> lines = readLines(file);
    std::map<char, int> legend;
    std::vector<PixelMap> maps;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::istringstream words(lines[i]);
        std::string keyword;
        if (!(words >> keyword) || keyword.starts_with("//")) continue;
        if (keyword == "colour") {
            std::string symbol, value;
            words >> symbol >> value;
            if (symbol.size() != 1 || value.empty()) failAt(file, i + 1, "expected: colour <char> <value>");
            legend[symbol[0]] = value == "clear" ? CLEAR : std::stoi(value);
        } else if (keyword == "picture") {
            PixelMap map;
            std::string size;
            char times = 0;
            words >> map.name >> size;
            std::istringstream dimensions(size);
            if (map.name.empty() || !(dimensions >> map.width >> times >> map.height) || times != 'x' ||
                map.width <= 0 || map.height <= 0)
                failAt(file, i + 1, "expected: picture <name> <width>x<height>");
            for (int y = 0; y < map.height; ++y) {
                std::size_t row = i + 1 + y;
                if (row >= lines.size()) failAt(file, row, map.name + " has too few rows");
                const std::string& text = lines[row];
                if (static_cast<int>(text.size()) != map.width)
                    failAt(file, row + 1, map.name + ": a row must have exactly " + std::to_string(map.width) +
                                              " characters");
                for (char c : text) {
                    auto entry = legend.find(c);
                    if (entry == legend.end()) failAt(file, row + 1, std::string("no colour for '") + c + "'");
                    map.values.push_back(entry->second);
                }
            }
            i += map.height;
            maps.push_back(std::move(map));
        } else {
            failAt(file, i + 1, "unknown keyword " + keyword);
        }
    }
    return maps;
}
