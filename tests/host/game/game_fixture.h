#pragma once
// Fixture for the game's tests: plain one-colour pictures of the sizes the
// game's resources have (so the tests need no particular artwork), a host
// clock that is always on time, a fixed calendar time, a frame buffer, and
// latches and cues cleared.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "game/tile_formation.h"
#include "game/world.h"

// Colours of the test pictures, to find them in the frame buffer.
inline constexpr std::uint8_t servobotColour = 40;
inline constexpr std::uint8_t signalColour = 41;
inline constexpr std::uint8_t vaktorColour = 50;
inline constexpr std::uint8_t tileColour = 60;
inline constexpr std::uint8_t faceGreen = 134;

class GameTest : public ::testing::Test {
protected:
    GameTest();
    ~GameTest() override;

    std::uint8_t pixel(int x, int y) const { return frameBuffer[y * 400 + x]; }
    const std::vector<int>& cues() const;

    std::vector<std::uint8_t> frameBuffer = std::vector<std::uint8_t>(400 * 300);
};

// Takes every tile out of the formation, the diving tile included.
void emptyFormation(TileFormation& formation);

// A tile of digit d standing at (x, y) with the game's hit box.
DigitTile* makeTile(const TileFormation& formation, int d, int x, int y);

// The four figures of `world` in the order the formation takes them.
struct FigureRow {
    explicit FigureRow(VaktorFigure (&figures)[4]);
    VaktorFigure* const figures[4];
};
