#pragma once
// GameSession: between the program and the game. Owns the current World and
// its frame clock, replaces the world for a new game, runs one frame at a
// time, and carries the flags through which menu, keys and dialogs ask for
// dialogs, a new game or the end.
#include <cstdint>
#include <functional>
#include <memory>

#include "game/cue_events.h"
#include "game/frame_clock.h"
#include "game/game_seed.h"
#include "game/key_latches.h"

class World;

class GameSession {
public:
    // Where each new world's seed comes from: asked once per world, when it is built.
    using SeedSource = std::function<GameSeed()>;

    // The first world, with frame 0 due at `now`. Its worlds are seeded from
    // `seeds`, read the keys from `keyLatches` and raise `scoreIntegrityFlag`.
    GameSession(std::uint32_t now, SeedSource seeds, KeyLatches& keyLatches, bool& scoreIntegrityFlag);
    ~GameSession();

    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // One frame, due by `now`: a new world first if one was asked for, then
    // the world's update, and its render when the tick began on time.
    void tick(std::uint32_t now);

    std::unique_ptr<World> world;
    bool restartRequested = false;
    bool showInformation = false;
    bool showRegistration = false;
    bool askPlayAgain = false;
    bool askSendHighScore = false;
    bool gameOver = false;
    // A session operation (construction, tick, destruction) is in progress.
    bool busy = false;
    bool quitRequested = false;
    FrameClock frameClock;
    // Whether the last tick drew its frame (it was on time).
    bool lastFrameDrawn = false;
    // The cues the worlds started, in order, since their taker last emptied this.
    CueEvents cues;

private:
    void buildWorld();
    void collectCues();

    SeedSource seeds_;
    KeyLatches& keyLatches_;
    bool& scoreIntegrityFlag_;
};
