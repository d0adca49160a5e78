#pragma once
// A disturbance impulse, star or square, falling 5 pixels a frame at the
// Servobot. The square is launched from the diving tile, the star from a
// random tile of the block; Vaktor figures absorb them.
#include <cstdint>
#include <memory>
#include <vector>

#include "game/digit_tile.h"
#include "game/game_rules.h"
#include "game/random.h"
#include "game/servobot.h"
#include "game/vaktor_figure.h"
#include "gfx/sprite.h"

class Impulse : public Sprite {
public:
    // Inactive, with the square's picture.
    Impulse();

    // The square's frame: fall, and while a tile dives, launch from it again
    // and again, 7 frames after the previous square has gone.
    void update(Servobot& servobot, DigitTile* divingTile, GameRules& rules);

    // The star's frame: launched from a random tile of `block` (whose tiles
    // stand at their coordinates plus the offsets) 32 frames after the
    // previous star has gone, while the block holds more than two tiles;
    // `random` picks the tile.
    void updateStar(const std::vector<std::unique_ptr<DigitTile>>& block, int offsetX, int offsetY,
                    Servobot& servobot, GameRandom& random, GameRules& rules);

    // The first standing figure the impulse overlaps absorbs it.
    void hitFigures(VaktorFigure* const (&figures)[4], GameRules& rules);
    // Gone into a figure: the next one comes as after a fall.
    void absorb();

    bool active() const { return !hidden; }
    // Frames counted toward the next launch.
    std::int32_t reloadTimer() const { return reloadTimer_; }

private:
    std::int32_t reloadTimer_ = 0;

    void launch(int launchX, int launchY, DigitTile& from, GameRules& rules);
    void hitServobot(Servobot& servobot, GameRules& rules);
};
