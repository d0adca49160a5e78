#include "server/known_builds.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

KnownBuilds KnownBuilds::fromFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read the builds file " + path);
    std::stringstream text;
    text << file.rdbuf();
    return fromText(text.str(), path);
}

KnownBuilds KnownBuilds::fromText(std::string_view text, const std::string& origin) {
    KnownBuilds builds;
    std::istringstream lines{std::string(text)};
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line.front() == '#') continue;
        std::istringstream fields(line);
        unsigned long long checksum = 0, size = 0;
        std::string rest;
        if (!(fields >> checksum >> size) || (fields >> rest) || checksum > UINT32_MAX || size > UINT32_MAX ||
            line.find('-') != std::string::npos) {
            throw std::runtime_error(origin + ":" + std::to_string(number) +
                                     ": expected two decimal numbers, CRC and SIZE: " + line);
        }
        builds.builds_.emplace(static_cast<std::uint32_t>(checksum), static_cast<std::uint32_t>(size));
    }
    return builds;
}

bool KnownBuilds::contains(std::uint32_t checksum, std::uint32_t size) const {
    return builds_.count({checksum, size}) > 0;
}
