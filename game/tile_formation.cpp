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

    for (int d = 0; d < 10; ++d) tileImages_[d] = std::make_unique<Image>(IDP_TILE_0 + d);

    // Each new tile goes in front, so the block lists the last one built first.
    for (int x = 10; x <= 220; x += 30) {
        for (int y = 10; y <= 130; y += 30) {
            int d = random_.digit();
            tiles.insert(tiles.begin(), std::make_unique<DigitTile>(*tileImages_[d], x, y, 0, 0, 26, 25, d));
        }
    }
}

void TileFormation::updateBlock(Signal& signal, Servobot& servobot, GameRules& rules) {
    rightmostX_ = 0;
    leftmostX_ = 380;
    lowestTop_ = 0;
    for (auto it = tiles.begin(); it != tiles.end();) {
        DigitTile& tile = **it;
        tile.update(signal, servobot, offsetX, offsetY, rules);
        if (tile.hidden) {
            it = tiles.erase(it);
            continue;
        }
        rightmostX_ = std::max(rightmostX_, tile.x);
        leftmostX_ = std::min(leftmostX_, tile.x);
        lowestTop_ = std::max(lowestTop_, tile.y);
        ++it;
    }
}

void TileFormation::moveBlock(int speedLevel) {
    descentStep_ = 0;
    bool aboveLowLimit = offsetY + lowestTop_ < lowLimit_;
    if (offsetX + rightmostX_ > rightWall) {
        blockVelocity_ = -speedLevel;
        if (aboveLowLimit) descentStep_ = descentPerWall;
    }
    if (offsetX + leftmostX_ < leftWall) {
        blockVelocity_ = +speedLevel;
        if (aboveLowLimit) descentStep_ = descentPerWall;
    }
    offsetY += descentStep_;
    offsetX += blockVelocity_;
}

void TileFormation::updateDive(Signal& signal, Servobot& servobot, int speedLevel, GameRules& rules) {
    if (diving) {
        if (diving->y < lowLimit_) diving->y += 2 * speedLevel;
        if (diving->y > lowLimit_) diving->y = lowLimit_;
        diving->x += divingVelocity;
        if (diving->x > rightPlayfieldAt || diving->x < leftPlayfieldAt) diving->hidden = true;
        diving->update(signal, servobot, 0, 0, rules);
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
                           GameRules& rules) {
    updateBlock(signal, servobot, rules);
    moveBlock(speedLevel);
    updateDive(signal, servobot, speedLevel, rules);
    star->updateStar(tiles, offsetX, offsetY, servobot, random_, rules);
    square->update(servobot, diving.get(), rules);
    square->hitFigures(figures, rules);
    star->hitFigures(figures, rules);
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
