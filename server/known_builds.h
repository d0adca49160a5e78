#pragma once
// The program builds whose scores the service takes: one line per build,
// "CRC SIZE" in decimal, as the game sends its checksum and length. Blank
// lines and lines starting with # are passed over.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>

class KnownBuilds {
public:
    // Throws std::runtime_error naming the file and line of a fault.
    static KnownBuilds fromFile(const std::string& path);
    static KnownBuilds fromText(std::string_view text, const std::string& origin);

    bool contains(std::uint32_t checksum, std::uint32_t size) const;
    std::size_t size() const { return builds_.size(); }

private:
    std::set<std::pair<std::uint32_t, std::uint32_t>> builds_;
};
