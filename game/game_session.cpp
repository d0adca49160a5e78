#include "game/game_session.h"

#include <cstdio>
#include <cstdlib>

#include "game/world.h"
#include "platform/timer.h"

namespace {

constexpr std::uint32_t msPerFrame = 40;
constexpr std::uint32_t sleepBeforeFrame = 5;

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

GameSession::GameSession() {
    busy = 1;
    quitRequested = 0;
    gameOver = 0;
    showInformation = 0;
    restartRequested = 0;
    askPlayAgain = 0;
    askSendHighScore = 0;
    showRegistration = 0;

    world = std::make_unique<World>();

    tickTime = platform::milliseconds();
    startTime = tickTime;
    frameIndex = 0;
    busy = 0;
}

GameSession::~GameSession() {
    requireIdle(*this, "~GameSession");
    busy = 1;
    world.reset();
}

void GameSession::tick(PaintContext paintContext) {
    requireIdle(*this, "tick");
    busy = 1;

    platform::sleepMilliseconds(sleepBeforeFrame);
    tickTime = platform::milliseconds();
    // Spins without sleeping: holds the 40 ms step to the clock's resolution.
    for (std::uint32_t now = tickTime; msPerFrame * frameIndex > now - startTime;) now = platform::milliseconds();

    if (restartRequested) {
        world.reset();
        world = std::make_unique<World>();
        tickTime = platform::milliseconds();
        startTime = tickTime;
        frameIndex = 0;
        restartRequested = 0;
    }

    world->update();
    // Drawn only when the tick began before its frame was due; a late frame
    // is updated but not drawn, so the game catches up.
    lastFrameDrawn = msPerFrame * frameIndex > tickTime - startTime;
    if (lastFrameDrawn) world->render(paintContext);
    if (world->gameOver) gameOver = 1;

    frameIndex += 1;
    busy = 0;
}
