#pragma once
// A game played as zifra-sim plays it: tick by tick, each tick one pass of
// the main loop with the script's keys before it, on a clock that is always
// on time and with nobody to answer the dialogs. zifra-sim and the browser
// build's check of the recorded games share it, so both trace the same game.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "app/program.h"
#include "tools/sim/key_script.h"
#include "tools/sim/trace_line.h"

// One pass of the main loop: steps the program until a frame has run. Every
// frame's tick begins before the frame is due, and a wait ends exactly at
// the due time. Every dialog ends at once, unanswered, as one that cannot be
// shown does: the game goes on behind them, and as no time has passed, no
// end of a modal loop is reported. There is no window to go away. The
// pass's cues are added to `cues`. False when the program asked to end instead.
bool runPass(Program& program, std::uint32_t& now, std::span<const KeyEvent> keys, bool& drawn,
             std::vector<int>& cues);

// The script's events before `tick`.
std::span<const KeyEvent> keysBefore(const KeyScript& keys, std::int64_t tick);

class ScriptedGame {
public:
    // `program` started at clock 0.
    ScriptedGame(Program& program, const KeyScript& keys) : program_(program), keys_(keys) {}

    // The next tick's pass and what the trace says of it; nothing once the
    // program has ended. Tick 0 also carries what the program's start-up
    // started (cue 177), just as it lists the tiles of the formation built then.
    std::optional<TickFacts> playTick();

private:
    Program& program_;
    const KeyScript& keys_;
    std::uint32_t now_ = 0;
    std::int64_t tick_ = 0;
    std::uint32_t formationsSeen_ = 0;
};
