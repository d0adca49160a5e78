// The module's check of the recorded games: a key script played as
// zifra-sim plays it (tools/sim/scripted_game.h), tick by tick, each tick's
// trace line handed to the page, which colours the frames through its own
// palette code and hashes them as the records do. Beside the page's game,
// never instead of it.
#include <emscripten.h>

#include <memory>
#include <string>

#include "game/world.h"
#include "tools/sim/scripted_game.h"

namespace {

struct Check {
    KeyScript keys;
    std::unique_ptr<Program> program;
    std::unique_ptr<ScriptedGame> game;
    std::string line;
    bool drawn = false;
};
Check check;

}  // namespace

extern "C" {

// A game seeded with the calendar second `seconds`, with the key script
// `script` (zifra-sim's --keys format); null when it is good, else why not.
EMSCRIPTEN_KEEPALIVE const char* zifra_check_begin(double seconds, const char* script) {
    std::optional<KeyScript> keys = readKeyScriptText(script, "script", check.line);
    if (!keys) return check.line.c_str();
    check.game.reset();
    check.keys = std::move(*keys);
    auto seed = static_cast<std::uint32_t>(seconds);
    check.program = std::make_unique<Program>(0, [seed] { return GameSeed{seed, {}}; });
    check.game = std::make_unique<ScriptedGame>(*check.program, check.keys);
    return nullptr;
}

// The next tick's trace line; null once the program has ended.
EMSCRIPTEN_KEEPALIVE const char* zifra_check_tick() {
    std::optional<TickFacts> facts = check.game->playTick();
    if (!facts) return nullptr;
    check.drawn = facts->drawn;
    check.line = traceLine(*check.program->theSession->world, *facts);
    return check.line.c_str();
}

// Plays up to `frames` more ticks without tracing them; how many it played.
// For the benchmark, beside zifra-sim --bench.
EMSCRIPTEN_KEEPALIVE int zifra_check_play(int frames) {
    int played = 0;
    while (played < frames && check.game->playTick()) ++played;
    return played;
}

EMSCRIPTEN_KEEPALIVE int zifra_check_drawn() { return check.drawn ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE const std::uint8_t* zifra_check_screen() { return check.program->theSession->world->screen().pixels; }

}  // extern "C"
