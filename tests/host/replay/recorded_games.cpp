#include "recorded_games.h"

#include <gtest/gtest.h>

#include <variant>

#include "game/world.h"
#include "tools/sim/key_script.h"

PlayedGame playRecordedGame(const RecordedGame& game, int lateEvery) {
    KeyScript keys;
    if (game.keys) {
        std::string error;
        auto read = readKeyScript(std::string(GOLDEN_DIR) + "/" + game.keys, error);
        EXPECT_TRUE(read) << error;
        if (read) keys = std::move(*read);
    }
    PlayedGame played;
    std::uint32_t now = 0;
    Program program(now, [&] { return GameSeed{game.seed, "golden"}; });
    for (std::int64_t tick = 0; tick < game.frames; ++tick) {
        auto it = keys.find(tick);
        std::vector<KeyEvent> events = it == keys.end() ? std::vector<KeyEvent>{} : it->second;
        // A pass that reaches its frame after it was due: the tick is late.
        if (lateEvery > 0 && tick % lateEvery == 0) now = program.theSession->frameClock.dueTime() + 1;
        for (;;) {
            Step step = program.step(now, events);
            events.clear();
            if (step.frameRan) break;
            if (step.request && std::holds_alternative<WaitUntil>(*step.request)) {
                now = std::get<WaitUntil>(*step.request).dueTime;
            }
        }
        // The world plays on behind the closing questions; its replay, and
        // so its result, ends with the update that ended its game.
        const World& world = *program.theSession->world;
        bool newWorld = program.theSession->frameClock.frameIndex == 1;
        if (newWorld) played.gameOver = false;
        if (!played.gameOver) {
            played.score = world.score().shown();
            played.level = world.level().shown();
            played.gameOver = world.gameOver();
        }
    }
    played.replay = program.theSession->world->replay();
    return played;
}
