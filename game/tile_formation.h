#pragma once
// The enemy side of one level: a block of 40 digit tiles that sweeps between
// the walls, steps down at each wall, sends one tile at a time diving at the
// player, and fires the star and the square.
#include <cstdint>
#include <memory>
#include <vector>

#include "game/digit_tile.h"
#include "game/game_rules.h"
#include "game/impulse.h"
#include "game/random.h"
#include "game/servobot.h"
#include "game/signal.h"
#include "game/vaktor_figure.h"
#include "gfx/image.h"

class TileFormation {
public:
    // A fresh block of digits drawn from `random`, 8 columns by 5 rows;
    // `random` also chooses the diving tiles and the star's tiles later.
    explicit TileFormation(GameRandom& random);

    TileFormation(const TileFormation&) = delete;
    TileFormation& operator=(const TileFormation&) = delete;

    // One frame of play at speed level `speedLevel` (1 to 10); the contacts go to `rules`.
    void update(Signal& signal, Servobot& servobot, VaktorFigure* const (&figures)[4], int speedLevel,
                GameRules& rules);
    // A frame is drawn: the tiles count it (see DigitTile::countDrawnFrame).
    void countDrawnFrame();
    void draw(Image& screen);

    // No tile left in the block (a diving tile may still be out).
    bool isEmpty() const { return tiles.empty(); }

    // Lets the tiles descend to the Servobot's row (no Vaktor figure stands).
    void extendDescent() { lowLimit_ = 268; }
    // Holds the tiles above the Vaktor figures again.
    void restrictDescent() { lowLimit_ = 180; }

    DigitTile* divingTile() const { return diving.get(); }
    const Image& digitImage(int d) const { return *tileImages_[d]; }

    // The block's movement, as the last update left it.
    std::int32_t blockVelocity() const { return blockVelocity_; }
    std::int32_t descentStep() const { return descentStep_; }
    // Lowest top edge (screen) a tile may descend to.
    std::int32_t lowLimit() const { return lowLimit_; }
    // The block's extent (formation coordinates) as the last update found it.
    std::int32_t lowestTop() const { return lowestTop_; }
    std::int32_t leftmostX() const { return leftmostX_; }
    std::int32_t rightmostX() const { return rightmostX_; }

    // Where the play stands, open to what arranges a game (the tests): the
    // tiles still in the block, newest first, in formation coordinates; the
    // diving tile (screen coordinates) and its course; the two impulses; the
    // block's offsets from formation to screen coordinates.
    std::vector<std::unique_ptr<DigitTile>> tiles;
    std::unique_ptr<DigitTile> diving;
    std::unique_ptr<Impulse> square;
    std::unique_ptr<Impulse> star;
    std::int32_t divingVelocity = 0;
    std::int32_t diveTimer = 0;
    std::int32_t offsetY = 0;
    std::int32_t offsetX = 0;

private:
    void updateBlock(Signal& signal, Servobot& servobot, GameRules& rules);
    void moveBlock(int speedLevel);
    void updateDive(Signal& signal, Servobot& servobot, int speedLevel, GameRules& rules);

    std::unique_ptr<Image> tileImages_[10];
    std::int32_t descentStep_ = 0;
    std::int32_t blockVelocity_ = 1;
    std::int32_t lowLimit_ = 180;
    std::int32_t lowestTop_ = 0;
    std::int32_t leftmostX_ = 0;
    std::int32_t rightmostX_ = 0;
    GameRandom& random_;
};
