#pragma once
// GameSession: between the main loop and the game. Owns the current World,
// replaces it for a new game, paces frames at 40 ms, and carries the flag
// bytes through which menu, keys and dialogs ask for dialogs, a new game or
// the end.
#include <cstdint>
#include <memory>

class World;

// The main loop's paint device context, handed through to the world's render
// untouched (drawing goes through the frame buffer).
using PaintContext = void*;

class GameSession {
public:
    GameSession();
    virtual ~GameSession();

    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // One frame: wait until it is due, update the world, draw it if on time.
    void tick(PaintContext paintContext);

    std::unique_ptr<World> world;
    std::uint8_t restartRequested = 0;
    std::uint8_t showInformation = 0;
    std::uint8_t showRegistration = 0;
    std::uint8_t askPlayAgain = 0;
    std::uint8_t askSendHighScore = 0;
    std::uint8_t gameOver = 0;
    std::uint8_t busy = 0;
    std::uint8_t quitRequested = 0;
    std::uint32_t startTime = 0;
    std::uint32_t frameIndex = 0;
    std::uint32_t tickTime = 0;
    // Whether the last tick drew its frame (it was on time).
    std::uint8_t lastFrameDrawn = 0;
};
