#pragma once
// Fixture for the game's tests: plain one-colour pictures of the sizes the
// game's resources have (so the tests need no particular artwork), a
// generator of a fixed seed and a list of cues for the objects, and the
// latches and integrity flag that worlds are built with.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
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

    const CueEvents& cues() const { return cueEvents; }

    static constexpr std::uint32_t seed = 1000;
    GameRandom random{seed};
    CueEvents cueEvents;
    KeyLatches keyLatches;
    bool scoreIntegrityFlag = false;
};

inline std::uint8_t pixel(const Image& image, int x, int y) { return image.pixels[y * image.width + x]; }

// The objects and counts the rules act on, for the tests of single objects
// (built after the fixture's pictures, as a member of the test's fixture).
struct Play {
    Play(bool& integrityFlag, GameRandom& random, CueEvents& cues);

    Servobot servobot;
    Signal signal;
    VaktorFigure figures[4];
    std::unique_ptr<TileFormation> formation;
    GuardedValue score;
    GuardedValue lives;
    GuardedValue level;
    CodeStore codeStore{score};
    bool gameOver = false;
    GameRules rules;
};

// Draws frames of the Servobot (without pictures) until its protection is over.
inline void unprotect(Servobot& servobot) {
    while (servobot.isProtected()) servobot.countDrawnFrame();
}

// Takes every tile out of the formation, the diving tile included.
void emptyFormation(TileFormation& formation);

// A tile of digit d standing at (x, y) with the game's hit box.
std::unique_ptr<DigitTile> makeTile(const TileFormation& formation, int d, int x, int y);

// The four figures of `world` in the order the formation takes them.
struct FigureRow {
    explicit FigureRow(VaktorFigure (&figures)[4]);
    VaktorFigure* const figures[4];
};
