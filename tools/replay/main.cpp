// zifra-replay: proves a replay file by playing it again through the rules
// alone, and prints one JSON line: the game's result, or why it is refused
// (exit 1). With --bench, how long the proof takes instead.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "game/replay.h"
#include "game/replay_check.h"
#include "tools/replay/replay_file.h"

namespace {

constexpr int refusedExit = 1;
constexpr int usageExit = 2;
constexpr const char* usage = "usage: zifra-replay [--bench] FILE";
constexpr double framesPerMinute = 60.0 * 25.0;

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

int printRefusal(const std::string& why) {
    std::printf("{\"error\":%s}\n", jsonString(why).c_str());
    return refusedExit;
}

// Proves the replay again and again for about a second: the rules' time per
// minute of play and per frame, construction of the world included.
int bench(const Replay& replay) {
    using Clock = std::chrono::steady_clock;
    int runs = 0;
    Clock::duration spent{};
    while (runs < 3 || spent < std::chrono::seconds(1)) {
        auto start = Clock::now();
        ReplayVerdict verdict = verifyReplay(replay);
        spent += Clock::now() - start;
        ++runs;
        if (!verdict.proven) return printRefusal(verdict.error);
    }
    double msPerRun = std::chrono::duration<double, std::milli>(spent).count() / runs;
    double minutes = replay.frames / framesPerMinute;
    std::printf(
        "%u frames (%.2f min of play), %d proofs: %.3f ms each, %.3f ms per minute of play, %.2f us per frame\n",
        replay.frames, minutes, runs, msPerRun, minutes > 0 ? msPerRun / minutes : 0.0,
        replay.frames > 0 ? 1000.0 * msPerRun / replay.frames : 0.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool benchmark = !args.empty() && args.front() == "--bench";
    if (benchmark) args.erase(args.begin());
    if (args.size() != 1) {
        std::fprintf(stderr, "%s\n", usage);
        return usageExit;
    }

    ReplayLimits limits;
    std::string error;
    auto bytes = readReplayFile(args.front(), limits, error);
    if (!bytes) return printRefusal(error);
    std::optional<Replay> replay = decodeReplay(*bytes, limits, error);
    if (!replay) return printRefusal(error);
    if (benchmark) return bench(*replay);

    ReplayVerdict verdict = verifyReplay(*replay, limits);
    if (!verdict.proven) return printRefusal(verdict.error);
    std::printf("{\"score\":%d,\"frames\":%u,\"gameOver\":%s,\"level\":%d,\"rulesVersion\":%u}\n", verdict.score,
                verdict.frames, verdict.gameOver ? "true" : "false", verdict.level, unsigned{replay->rulesVersion});
    return 0;
}
