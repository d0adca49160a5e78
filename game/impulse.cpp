#include "game/impulse.h"

#include "res/resource_ids.h"

namespace {

constexpr int fallPerFrame = 5;
constexpr int bottom = 290;

}  // namespace

Impulse::Impulse() {
    load(IDP_SQUARE);
    hidden = true;
    setHitBox(0, 0, 9, 9);
}

void Impulse::launch(int launchX, int launchY, DigitTile& from, GameRules& rules) {
    rules.startCue(IDS_IMPULSE);
    hidden = false;
    y = launchY;
    from.startBlinking();
    x = launchX;
}

void Impulse::hitServobot(Servobot& servobot, GameRules& rules) {
    if (active() && overlaps(servobot.hitRect())) rules.impulseReachedServobot();
}

void Impulse::update(Servobot& servobot, DigitTile* divingTile, GameRules& rules) {
    if (active()) y += fallPerFrame;
    if (y > bottom) {
        y = 0;
        hidden = true;
        reloadTimer_ = 6;
    }
    if (divingTile) {
        reloadTimer_ += 1;
        if (reloadTimer_ > 6 && !active()) launch(divingTile->x + 4, divingTile->y + 7, *divingTile, rules);
    }
    hitServobot(servobot, rules);
}

void Impulse::updateStar(const std::vector<std::unique_ptr<DigitTile>>& block, int offsetX, int offsetY,
                         Servobot& servobot, GameRandom& random, GameRules& rules) {
    int n = static_cast<int>(block.size());
    if (n > 2 && reloadTimer_ > 30) {
        reloadTimer_ = 0;
        DigitTile& tile = *block[static_cast<std::size_t>(random.index(n))];
        launch(tile.x + offsetX, tile.y + offsetY, tile, rules);
    }
    if (!active()) {
        reloadTimer_ += 1;
    } else {
        y += fallPerFrame;
        if (y > bottom) {
            hidden = true;
            reloadTimer_ = 0;
        }
    }
    hitServobot(servobot, rules);
}

void Impulse::hitFigures(VaktorFigure* const (&figures)[4], GameRules& rules) {
    if (!active()) return;
    for (VaktorFigure* figure : figures) {
        if (overlaps(figure->hitRect()) && !figure->hidden) {
            rules.impulseHitFigure(*this, *figure);
            return;
        }
    }
}

void Impulse::absorb() {
    hidden = true;
    reloadTimer_ = 0;
}
