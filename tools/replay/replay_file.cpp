#include "tools/replay/replay_file.h"

#include <fstream>
#include <iterator>

std::optional<std::vector<std::uint8_t>> readReplayFile(const std::string& path, const ReplayLimits& limits,
                                                        std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    // One byte more than the limit is enough to tell a file too large.
    std::vector<std::uint8_t> bytes(limits.maxBytes + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}
