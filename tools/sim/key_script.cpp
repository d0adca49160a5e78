#include "tools/sim/key_script.h"

#include <fstream>
#include <sstream>

#include "game/game_session.h"
#include "game/key_latches.h"

namespace {

bool knownKey(const std::string& key) {
    return key == "space" || key == "left" || key == "right" || key == "up" || key == "down" || key == "f1";
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
                   (direction == "down" || direction == "up") && knownKey(key)) {
            script[tick].push_back({key, direction == "down"});
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

void applyKeyEvent(const KeyEvent& event, GameSession& session) {
    if (event.key == "f1") {
        if (event.down) session.restartRequested = 1;
        return;
    }
    struct Latches {
        const char* key;
        std::uint8_t* pressed;
        std::uint8_t* released;
    };
    const Latches latches[] = {
        {"space", &keyLatches.firePressed, &keyLatches.fireReleased},
        {"left", &keyLatches.leftPressed, &keyLatches.leftReleased},
        {"right", &keyLatches.rightPressed, &keyLatches.rightReleased},
        {"up", &keyLatches.upPressed, &keyLatches.upReleased},
        {"down", &keyLatches.downPressed, &keyLatches.downReleased},
    };
    for (const Latches& l : latches) {
        if (event.key == l.key) *(event.down ? l.pressed : l.released) = 1;
    }
}
