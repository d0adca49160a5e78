#include "tools/sim/key_script.h"

#include <fstream>
#include <limits>

namespace {

std::optional<GameKey> gameKeyNamed(std::string_view name) {
    if (name == "space") return GameKey::fire;
    if (name == "left") return GameKey::left;
    if (name == "right") return GameKey::right;
    if (name == "up") return GameKey::up;
    if (name == "down") return GameKey::down;
    if (name == "f1") return GameKey::newGame;
    return std::nullopt;
}

// One line, read as a stream's extractions read it (a number, then words
// separated by white space), without a stream: the browser build reads its
// scripts from text and need not carry the C++ streams.
class LineReader {
public:
    explicit LineReader(std::string_view line) : rest_(line) {}

    // A decimal number with an optional sign; nothing when there are no
    // digits or it does not fit.
    std::optional<std::int64_t> number() {
        skipSpace();
        bool negative = !rest_.empty() && rest_.front() == '-';
        if (!rest_.empty() && (rest_.front() == '-' || rest_.front() == '+')) rest_.remove_prefix(1);
        std::uint64_t magnitude = 0;
        std::size_t digits = 0;
        const std::uint64_t most = std::uint64_t{std::numeric_limits<std::int64_t>::max()} + (negative ? 1 : 0);
        while (digits < rest_.size() && rest_[digits] >= '0' && rest_[digits] <= '9') {
            auto digit = static_cast<std::uint64_t>(rest_[digits] - '0');
            if (magnitude > (most - digit) / 10) return std::nullopt;
            magnitude = magnitude * 10 + digit;
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        rest_.remove_prefix(digits);
        return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    }

    // The next run of characters other than white space; empty at the end.
    std::string_view word() {
        skipSpace();
        std::size_t length = 0;
        while (length < rest_.size() && !isSpace(rest_[length])) ++length;
        std::string_view found = rest_.substr(0, length);
        rest_.remove_prefix(length);
        return found;
    }

private:
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
    void skipSpace() {
        while (!rest_.empty() && isSpace(rest_.front())) rest_.remove_prefix(1);
    }

    std::string_view rest_;
};

// Adds the event of line `number`; false, with the reason in `error`, when
// the line is neither an event nor blank.
bool readLine(std::string_view line, int number, const std::string& name, KeyScript& script, std::string& error) {
    LineReader words(line);
    std::optional<std::int64_t> tick = words.number();
    if (!tick) {
        if (line.find_first_not_of(" \t\r") == std::string_view::npos) return true;
    } else {
        std::string_view direction = words.word(), key = words.word();
        if (!key.empty() && words.word().empty() && *tick >= 0 && (direction == "down" || direction == "up") &&
            gameKeyNamed(key)) {
            script[*tick].push_back({*gameKeyNamed(key), direction == "down"});
            return true;
        }
    }
    error = name + ":" + std::to_string(number) + ": expected \"TICK down|up space|left|right|up|down|f1\"";
    return false;
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
        if (!readLine(line, number, name, script, error)) return std::nullopt;
    }
    // The loop also ends when reading fails (a folder, an I/O error part-way):
    // only the end of the stream is the end of the script.
    if (in.bad() || !in.eof()) {
        error = "cannot read key file " + name;
        return std::nullopt;
    }
    return script;
}

std::optional<KeyScript> readKeyScriptText(std::string_view text, const std::string& name, std::string& error) {
    KeyScript script;
    for (int number = 1; !text.empty(); ++number) {
        std::size_t end = text.find('\n');
        if (!readLine(text.substr(0, end), number, name, script, error)) return std::nullopt;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return script;
}
