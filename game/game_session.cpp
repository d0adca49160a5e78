#include "game/game_session.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "game/world.h"

namespace {

// A session operation entered while another is in progress would replace or
// destroy the world under a running frame: stop the program instead, in
// every build.
void requireIdle(const GameSession& session, const char* operation) {
    if (session.busy) {
        std::fprintf(stderr, "GameSession::%s entered while busy\n", operation);
        std::abort();
    }
}

}  // namespace

GameSession::GameSession(std::uint32_t now, SeedSource seeds, KeyLatches& keyLatches, bool& scoreIntegrityFlag)
    : busy(true),
      frameClock(now),
      seeds_(std::move(seeds)),
      keyLatches_(keyLatches),
      scoreIntegrityFlag_(scoreIntegrityFlag) {
    buildWorld();
    busy = false;
}

void GameSession::buildWorld() {
    // The old world goes before the new one is built.
    world.reset();
    GameSeed next = seeds_();
    world = std::make_unique<World>(next.seed, keyLatches_, scoreIntegrityFlag_, std::move(next.ticket));
    collectCues();
}

void GameSession::collectCues() {
    CueEvents started = world->takeCues();
    cues.insert(cues.end(), started.begin(), started.end());
}

GameSession::~GameSession() {
    requireIdle(*this, "~GameSession");
    busy = true;
}

void GameSession::tick(std::uint32_t now) {
    requireIdle(*this, "tick");
    busy = true;

    if (restartRequested) {
        buildWorld();
        frameClock.restart(now);
        restartRequested = false;
    }

    world->update();
    collectCues();
    // Drawn only when the tick began before its frame was due; a late frame
    // is updated but not drawn, so the game catches up.
    lastFrameDrawn = frameClock.tickWasOnTime();
    if (lastFrameDrawn) world->render();
    if (world->gameOver()) gameOver = true;

    frameClock.advance();
    busy = false;
}
