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

void Impulse::launch(int launchX, int launchY, DigitTile& from, CueEvents& cues) {
    cues.push_back(IDS_IMPULSE);
    hidden = false;
    y = launchY;
    from.flashFlag = true;
    x = launchX;
}

void Impulse::hitServobot(Servobot& servobot) {
    if (active() && overlaps(servobot.hitRect()) && !servobot.isProtected) {
        servobot.hidden = true;
        servobot.killedByImpulse = true;
    }
}

void Impulse::update(Servobot& servobot, DigitTile* divingTile, CueEvents& cues) {
    if (active()) y += fallPerFrame;
    if (y > bottom) {
        y = 0;
        hidden = true;
        reloadTimer = 6;
    }
    if (divingTile) {
        reloadTimer += 1;
        if (reloadTimer > 6 && !active()) launch(divingTile->x + 4, divingTile->y + 7, *divingTile, cues);
    }
    hitServobot(servobot);
}

void Impulse::updateStar(const std::vector<std::unique_ptr<DigitTile>>& block, int offsetX, int offsetY,
                         Servobot& servobot, GameRandom& random, CueEvents& cues) {
    int n = static_cast<int>(block.size());
    if (n > 2 && reloadTimer > 30) {
        reloadTimer = 0;
        DigitTile& tile = *block[static_cast<std::size_t>(random.index(n))];
        launch(tile.x + offsetX, tile.y + offsetY, tile, cues);
    }
    if (!active()) {
        reloadTimer += 1;
    } else {
        y += fallPerFrame;
        if (y > bottom) {
            hidden = true;
            reloadTimer = 0;
        }
    }
    hitServobot(servobot);
}

void Impulse::hitFigures(VaktorFigure* const (&figures)[4], CueEvents& cues) {
    if (!active()) return;
    for (VaktorFigure* figure : figures) {
        if (overlaps(figure->hitRect()) && !figure->hidden) {
            hidden = true;
            reloadTimer = 0;
            figure->takeHit(cues);
            return;
        }
    }
}
