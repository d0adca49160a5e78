#include "tools/sim/key_script.h"

#include <fstream>
#include <sstream>

namespace {

std::optional<GameKey> gameKeyNamed(const std::string& name) {
    if (name == "space") return GameKey::fire;
    if (name == "left") return GameKey::left;
    if (name == "right") return GameKey::right;
    if (name == "up") return GameKey::up;
    if (name == "down") return GameKey::down;
    if (name == "f1") return GameKey::newGame;
    return std::nullopt;
}

}  // namespace

std::optional<KeyScript> readKeyScript(const std::string& path, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot read key file " + path;
        return std::nullopt;
    }
    return readKeyScript(file, path, error);
}

std::optional<KeyScript> readKeyScript(std::istream& in, const std::string& name, std::string& error) {
    KeyScript script;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::int64_t tick = 0;
        std::string direction, key, extra;
        if (!(words >> tick)) {
            if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        } else if (words >> direction >> key && !(words >> extra) && tick >= 0 &&
                   (direction == "down" || direction == "up") && gameKeyNamed(key)) {
            script[tick].push_back({*gameKeyNamed(key), direction == "down"});
            continue;
        }
        error = name + ":" + std::to_string(number) + ": expected \"TICK down|up space|left|right|up|down|f1\"";
        return std::nullopt;
    }
    // The loop also ends when reading fails (a folder, an I/O error part-way):
    // only the end of the stream is the end of the script.
    if (in.bad() || !in.eof()) {
        error = "cannot read key file " + name;
        return std::nullopt;
    }
    return script;
}
