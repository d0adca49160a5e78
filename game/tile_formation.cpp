#include "game/tile_formation.h"

#include <algorithm>

#include "res/resource_ids.h"

namespace {

constexpr int leftWall = 10;
constexpr int rightWall = 290;
constexpr int descentPerWall = 3;
constexpr int framesBetweenDives = 100;
// A tile that dives from right of this column heads left, otherwise right.
constexpr int diveTurnColumn = 170;
constexpr int leftPlayfieldAt = -20;
constexpr int rightPlayfieldAt = 320;

}  // namespace

TileFormation::TileFormation(GameRandom& random)
    : square(std::make_unique<Impulse>()), star(std::make_unique<Impulse>()), random_(random) {
    star->load(IDP_STAR);

    for (int d = 0; d < 10; ++d) tileImages[d] = std::make_unique<Image>(IDP_TILE_0 + d);

    // Each new tile goes in front, so the block lists the last one built first.
    for (int x = 10; x <= 220; x += 30) {
        for (int y = 10; y <= 130; y += 30) {
            int d = random_.digit();
            tiles.insert(tiles.begin(), std::make_unique<DigitTile>(*tileImages[d], x, y, 0, 0, 26, 25, d));
        }
    }
}

void TileFormation::updateBlock(Signal& signal, Servobot& servobot, CodeStore& codeStore, CueEvents& cues) {
    rightmostX = 0;
    leftmostX = 380;
    lowestTop = 0;
    for (auto it = tiles.begin(); it != tiles.end();) {
        DigitTile& tile = **it;
        tile.update(signal, servobot, offsetX, offsetY, codeStore, cues);
        if (tile.hidden) {
            it = tiles.erase(it);
            continue;
        }
        rightmostX = std::max(rightmostX, tile.x);
        leftmostX = std::min(leftmostX, tile.x);
        lowestTop = std::max(lowestTop, tile.y);
        ++it;
    }
}

void TileFormation::moveBlock(int speedLevel) {
    descentStep = 0;
    bool aboveLowLimit = offsetY + lowestTop < lowLimit;
    if (offsetX + rightmostX > rightWall) {
        blockVelocity = -speedLevel;
        if (aboveLowLimit) descentStep = descentPerWall;
    }
    if (offsetX + leftmostX < leftWall) {
        blockVelocity = +speedLevel;
        if (aboveLowLimit) descentStep = descentPerWall;
    }
    offsetY += descentStep;
    offsetX += blockVelocity;
}

void TileFormation::updateDive(Signal& signal, Servobot& servobot, int speedLevel, CodeStore& codeStore,
                               CueEvents& cues) {
    if (diving) {
        if (diving->y < lowLimit) diving->y += 2 * speedLevel;
        if (diving->y > lowLimit) diving->y = lowLimit;
        diving->x += divingVelocity;
        if (diving->x > rightPlayfieldAt || diving->x < leftPlayfieldAt) diving->hidden = true;
        diving->update(signal, servobot, 0, 0, codeStore, cues);
        if (diving->hidden) diving.reset();
        return;
    }
    diveTimer += 1;
    if (diveTimer > framesBetweenDives && !isEmpty()) {
        auto chosen = tiles.begin() + random_.index(static_cast<int>(tiles.size()));
        diving = std::move(*chosen);
        tiles.erase(chosen);
        diving->x += offsetX;
        diving->y += offsetY;
        divingVelocity = diving->x > diveTurnColumn ? -2 * speedLevel : 2 * speedLevel;
        diveTimer = 0;
    }
}

void TileFormation::update(Signal& signal, Servobot& servobot, VaktorFigure* const (&figures)[4], int speedLevel,
                           CodeStore& codeStore, CueEvents& cues) {
    updateBlock(signal, servobot, codeStore, cues);
    moveBlock(speedLevel);
    updateDive(signal, servobot, speedLevel, codeStore, cues);
    star->updateStar(tiles, offsetX, offsetY, servobot, random_, cues);
    square->update(servobot, diving.get(), cues);
    square->hitFigures(figures, cues);
    star->hitFigures(figures, cues);
}

void TileFormation::countDrawnFrame() {
    for (const auto& tile : tiles) tile->countDrawnFrame();
    if (diving) diving->countDrawnFrame();
}

void TileFormation::draw(Image& screen) {
    for (const auto& tile : tiles) tile->draw(screen, offsetX, offsetY);
    if (diving) diving->draw(screen, 0, 0);
    if (star->active()) star->draw(screen);
    if (square->active()) square->draw(screen);
}
