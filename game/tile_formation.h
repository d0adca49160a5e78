#pragma once
// The enemy side of one level: a block of 40 digit tiles that sweeps between
// the walls, steps down at each wall, sends one tile at a time diving at the
// player, and fires the star and the square.
#include <cstdint>
#include <memory>
#include <vector>

#include "game/code_store.h"
#include "game/cue_events.h"
#include "game/digit_tile.h"
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

    // One frame of play at speed level `speedLevel` (1 to 10); hits go to
    // `codeStore`, the cues started to `cues`.
    void update(Signal& signal, Servobot& servobot, VaktorFigure* const (&figures)[4], int speedLevel,
                CodeStore& codeStore, CueEvents& cues);
    // A frame is drawn: the tiles count it (see DigitTile::countDrawnFrame).
    void countDrawnFrame();
    void draw(Image& screen);

    // No tile left in the block (a diving tile may still be out).
    bool isEmpty() const { return tiles.empty(); }

    // Lets the tiles descend to the Servobot's row (no Vaktor figure stands).
    void extendDescent() { lowLimit = 268; }
    // Holds the tiles above the Vaktor figures again.
    void restrictDescent() { lowLimit = 180; }

    DigitTile* divingTile() const { return diving.get(); }
    const Image& digitImage(int d) const { return *tileImages[d]; }

    // The tiles still in the block, newest first, in formation coordinates.
    std::vector<std::unique_ptr<DigitTile>> tiles;
    std::int32_t descentStep = 0;
    std::int32_t blockVelocity = 1;
    std::unique_ptr<DigitTile> diving;
    std::unique_ptr<Image> tileImages[10];
    std::unique_ptr<Impulse> square;
    std::unique_ptr<Impulse> star;
    std::int32_t divingVelocity = 0;
    std::int32_t diveTimer = 0;
    // Lowest top edge (screen) a tile may descend to.
    std::int32_t lowLimit = 180;
    std::int32_t lowestTop = 0;
    std::int32_t leftmostX = 0;
    std::int32_t rightmostX = 0;
    std::int32_t offsetY = 0;
    std::int32_t offsetX = 0;

private:
    void updateBlock(Signal& signal, Servobot& servobot, CodeStore& codeStore, CueEvents& cues);
    void moveBlock(int speedLevel);
    void updateDive(Signal& signal, Servobot& servobot, int speedLevel, CodeStore& codeStore, CueEvents& cues);

    GameRandom& random_;
};
