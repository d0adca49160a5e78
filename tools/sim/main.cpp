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
#include "game/world.h"
#include "gfx/palette_colours.h"
#include "platform/fake_control.h"
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "tools/sim/key_script.h"
#include "tools/sim/png_frame.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/trace_line.h"

namespace {

constexpr int usageError = 2;
constexpr int runError = 1;

// One pass of the main loop: steps the program until a frame has run. The
// clock is always on time: every frame's tick begins before the frame is
// due, and a wait ends exactly at the due time. Every dialog ends at once,
// unanswered, as one that cannot be shown does: the game goes on behind
// them, and as no time has passed, no end of a modal loop is reported. There
// is no window to go away. The pass's cues are added to `cues`. False when
// the program asked to end instead.
bool runPass(Program& program, std::uint32_t& now, std::span<const KeyEvent> keys, bool& drawn,
             std::vector<int>& cues) {
    for (;;) {
        Step step = program.step(now, keys);
        keys = {};
        cues.insert(cues.end(), step.cues.begin(), step.cues.end());
        if (step.frameRan) drawn = step.drawn;
        if (step.request) {
            if (const auto* wait = std::get_if<WaitUntil>(&*step.request)) now = wait->dueTime;
            if (std::holds_alternative<QuitProgram>(*step.request)) {
                program.quit();
                return false;
            }
        }
        if (step.frameRan) return true;
    }
}

std::span<const KeyEvent> keysBefore(const KeyScript& keys, std::int64_t tick) {
    auto it = keys.find(tick);
    return it == keys.end() ? std::span<const KeyEvent>{} : std::span<const KeyEvent>(it->second);
}

std::optional<PaletteColours> gamePalette() {
    auto bytes = platform::resourceBytes(platform::ResourceType::Bitmap, IDB_PALETTE);
    if (!bytes || paletteColourCount(*bytes) == 0) return std::nullopt;
    return readPaletteColours(*bytes);
}

int bench(const SimOptions& options, const KeyScript& keys) {
    std::uint32_t now = 0;
    Program program(now, calendarSeed);
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

    std::uint32_t now = 0;
    Program program(now, calendarSeed);
    std::uint32_t formationsSeen = 0;
    std::int64_t drawnCount = 0;
    for (std::int64_t tick = 0; tick < options.frames; ++tick) {
        TickFacts facts;
        facts.tick = tick;
        // Tick 0 also carries what the program's start-up started (cue 177),
        // just as it lists the tiles of the formation built then.
        if (!runPass(program, now, keysBefore(keys, tick), facts.drawn, facts.cues)) break;
        World& world = *program.theSession->world;
        // Frame 0 of a world has just run: its first formation is new too.
        bool newWorld = program.theSession->frameClock.frameIndex == 1;

        facts.newFormation = newWorld || world.formationsBuilt != formationsSeen;
        formationsSeen = world.formationsBuilt;
        if (trace.is_open()) trace << traceLine(world, facts) << '\n';

        if (facts.drawn && palette && ++drawnCount % options.every == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(tick));
            std::string error;
            auto path = (std::filesystem::path(options.pngDirectory) / name).string();
            if (!writePngFrame(path, world.screen, *palette, error)) {
                std::cerr << "zifra-sim: " << error << '\n';
                return runError;
            }
        }
    }
    if (trace.is_open() && !trace.flush()) {
        std::cerr << "zifra-sim: cannot write " << options.traceFile << '\n';
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
