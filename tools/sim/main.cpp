// zifra-sim: a headless shell of the program. It steps the real program over
// the fake platform, frame by frame, with scripted keys, a clock that is
// always on time and nobody to answer its dialogs; writes a JSON trace, PNG
// frames, or the time that a frame's step takes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "app/program.h"
#include "game/replay.h"
#include "game/world.h"
#include "gfx/palette_colours.h"
#include "platform/fake_control.h"
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "tools/sim/key_script.h"
#include "tools/sim/png_frame.h"
#include "tools/sim/scripted_game.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/trace_line.h"

namespace {

constexpr int usageError = 2;
constexpr int runError = 1;

std::optional<PaletteColours> gamePalette() {
    auto bytes = platform::resourceBytes(platform::ResourceType::Bitmap, IDB_PALETTE);
    if (!bytes || paletteColourCount(*bytes) == 0) return std::nullopt;
    return readPaletteColours(*bytes);
}

// Every world's seed: the one given, or the calendar second as the Windows
// shell seeds it; named by the ticket given.
SeedSource seeds(const SimOptions& options) {
    return [options] {
        GameSeed next = options.seed ? GameSeed{*options.seed, {}} : calendarSeed();
        next.ticket = options.ticket;
        return next;
    };
}

bool writeReplay(const std::string& path, const Replay& replay) {
    std::vector<std::uint8_t> bytes = encodeReplay(replay);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

int bench(const SimOptions& options, const KeyScript& keys) {
    std::uint32_t now = 0;
    Program program(now, seeds(options));
    std::vector<int> cues;
    double total = 0;
    double worst = 0;
    std::int64_t frames = 0;
    for (bool drawn = false; frames < options.frames; ++frames) {
        auto start = std::chrono::steady_clock::now();
        bool ran = runPass(program, now, keysBefore(keys, frames), drawn, cues);
        cues.clear();
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        if (!ran) break;
        total += took.count();
        worst = std::max(worst, took.count());
    }
    double mean = frames > 0 ? total / static_cast<double>(frames) : 0.0;
    std::printf("%lld frames, the program's work per frame: mean %.1f us, worst %.1f us (budget 40000 us)\n",
                static_cast<long long>(frames), mean, worst);
    return 0;
}

int play(const SimOptions& options, const KeyScript& keys) {
    std::optional<PaletteColours> palette;
    if (!options.pngDirectory.empty()) {
        palette = gamePalette();
        if (!palette) {
            std::cerr << "zifra-sim: --png needs the palette bitmap (resource " << IDB_PALETTE
                      << "), which this build does not have\n";
            return runError;
        }
        std::error_code problem;
        std::filesystem::create_directories(options.pngDirectory, problem);
        if (problem) {
            std::cerr << "zifra-sim: cannot create " << options.pngDirectory << ": " << problem.message() << '\n';
            return runError;
        }
    }
    std::ofstream trace;
    if (!options.traceFile.empty()) {
        trace.open(options.traceFile);
        if (!trace) {
            std::cerr << "zifra-sim: cannot write " << options.traceFile << '\n';
            return runError;
        }
    }

    Program program(0, seeds(options));
    ScriptedGame game(program, keys);
    std::int64_t drawnCount = 0;
    for (std::int64_t tick = 0; tick < options.frames; ++tick) {
        std::optional<TickFacts> facts = game.playTick();
        if (!facts) break;
        World& world = *program.theSession->world;
        if (trace.is_open()) trace << traceLine(world, *facts) << '\n';

        if (facts->drawn && palette && ++drawnCount % options.every == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(tick));
            std::string error;
            auto path = (std::filesystem::path(options.pngDirectory) / name).string();
            if (!writePngFrame(path, world.screen(), *palette, error)) {
                std::cerr << "zifra-sim: " << error << '\n';
                return runError;
            }
        }
    }
    if (trace.is_open() && !trace.flush()) {
        std::cerr << "zifra-sim: cannot write " << options.traceFile << '\n';
        return runError;
    }
    if (!options.recordFile.empty() && !program.running()) {
        std::cerr << "zifra-sim: the program ended, so no world is left to record\n";
        return runError;
    }
    if (!options.recordFile.empty() && !writeReplay(options.recordFile, program.theSession->world->replay())) {
        std::cerr << "zifra-sim: cannot write " << options.recordFile << '\n';
        return runError;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<SimOptions> options = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "zifra-sim: " << error << " (" << simUsage << ")\n";
        return usageError;
    }
    KeyScript keys;
    if (!options->keysFile.empty()) {
        std::optional<KeyScript> read = readKeyScript(options->keysFile, error);
        if (!read) {
            std::cerr << "zifra-sim: " << error << '\n';
            return usageError;
        }
        keys = std::move(*read);
    }

    platform::fake::setCalendarSeconds(options->calendarSeconds);

    return options->bench ? bench(*options, keys) : play(*options, keys);
}
