#include "tools/sim/scripted_game.h"

#include <variant>

#include "game/world.h"

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

std::optional<TickFacts> ScriptedGame::playTick() {
    if (!program_.running()) return std::nullopt;
    TickFacts facts;
    facts.tick = tick_;
    if (!runPass(program_, now_, keysBefore(keys_, tick_), facts.drawn, facts.cues)) return std::nullopt;
    ++tick_;
    World& world = *program_.theSession->world;
    // Frame 0 of a world has just run: its first formation is new too.
    bool newWorld = program_.theSession->frameClock.frameIndex == 1;
    facts.newFormation = newWorld || world.rules().formationsBuilt() != formationsSeen_;
    formationsSeen_ = world.rules().formationsBuilt();
    return facts;
}
