// zifra-sim: plays the real game session headlessly over the host platform,
// frame by frame, with scripted keys; writes a JSON trace, PNG frames, or
// the time that update and render take.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "game/game_session.h"
#include "game/world.h"
#include "gfx/palette_colours.h"
#include "gfx/screen_image.h"
#include "platform/host_control.h"
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "tools/sim/key_script.h"
#include "tools/sim/png_frame.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/trace_line.h"

namespace {

constexpr int screenWidth = 400;
constexpr int screenHeight = 300;

constexpr int usageError = 2;
constexpr int runError = 1;

void applyKeys(const KeyScript& keys, std::int64_t tick, GameSession& session) {
    if (auto it = keys.find(tick); it != keys.end()) {
        for (const KeyEvent& event : it->second) applyKeyEvent(event, session);
    }
}

std::optional<PaletteColours> gamePalette() {
    auto bytes = platform::resourceBytes(platform::ResourceType::Bitmap, IDB_PALETTE);
    if (!bytes || paletteColourCount(*bytes) == 0) return std::nullopt;
    return readPaletteColours(*bytes);
}

int bench(const SimOptions& options, const KeyScript& keys) {
    GameSession session;
    double total = 0;
    double worst = 0;
    for (std::int64_t tick = 0; tick < options.frames; ++tick) {
        applyKeys(keys, tick, session);
        auto start = std::chrono::steady_clock::now();
        session.tick(nullptr);
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        total += took.count();
        worst = std::max(worst, took.count());
    }
    double mean = options.frames > 0 ? total / static_cast<double>(options.frames) : 0.0;
    std::printf("%lld frames, update + render per frame: mean %.1f us, worst %.1f us (budget 40000 us)\n",
                static_cast<long long>(options.frames), mean, worst);
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

    GameSession session;
    std::uint32_t formationsSeen = 0;
    std::int64_t drawnCount = 0;
    for (std::int64_t tick = 0; tick < options.frames; ++tick) {
        applyKeys(keys, tick, session);
        bool newWorld = tick == 0 || session.restartRequested;
        session.tick(nullptr);
        World& world = *session.world;

        TickFacts facts;
        facts.tick = tick;
        facts.drawn = session.lastFrameDrawn;
        // Tick 0 also carries what the session's construction started (cue 177),
        // just as it lists the tiles of the formation built then.
        facts.cues = platform::host::startedCues();
        platform::host::clearStartedCues();
        facts.newFormation = newWorld || world.formationsBuilt != formationsSeen;
        formationsSeen = world.formationsBuilt;
        if (trace.is_open()) trace << traceLine(world, facts) << '\n';

        if (facts.drawn && palette && ++drawnCount % options.every == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06lld.png", static_cast<long long>(tick));
            std::string error;
            auto path = (std::filesystem::path(options.pngDirectory) / name).string();
            if (!writePngFrame(path, frameBufferBits, screenWidth, screenHeight, *palette, error)) {
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

    // A clock that is always on time: every frame is due exactly when the
    // session waits for it, so every frame after the first is drawn.
    platform::host::setClock(0, 1);
    platform::host::setCalendarSeconds(options->calendarSeconds);
    platform::host::clearStartedCues();
    std::vector<std::uint8_t> frameBuffer(screenWidth * screenHeight);
    frameBufferBits = frameBuffer.data();

    return options->bench ? bench(*options, keys) : play(*options, keys);
}
