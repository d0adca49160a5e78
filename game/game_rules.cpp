#include "game/game_rules.h"

#include "game/digit_tile.h"
#include "game/impulse.h"
#include "game/servobot.h"
#include "game/signal.h"
#include "game/tile_formation.h"
#include "game/vaktor_figure.h"
#include "res/resource_ids.h"

namespace {

constexpr int topSpeedLevel = 10;
constexpr int shortestSpeedStep = 30;
constexpr int pointsPerRestoration = 2000;
constexpr int levelsPerExtraLife = 10;

}  // namespace

void GameRules::signalHitTile(DigitTile& tile) {
    startCue(tile.digit() == 0 ? IDS_DIGIT_0 : IDS_DIGIT_1 + tile.digit() - 1);
    play_.codeStore.recordHit(tile.digit());
    tile.hidden = true;
    play_.signal.hidden = true;
}

void GameRules::tileReachedServobot() {
    if (!play_.servobot.isProtected()) play_.servobot.hit(false);
}

void GameRules::impulseReachedServobot() {
    if (!play_.servobot.isProtected()) play_.servobot.hit(true);
}

void GameRules::impulseHitFigure(Impulse& impulse, VaktorFigure& figure) {
    impulse.absorb();
    figure.takeHit(play_.cues);
}

void GameRules::signalHitFigure(VaktorFigure& figure) {
    figure.takeHit(play_.cues);
    play_.signal.hidden = true;
}

void GameRules::countFrame() {
    speedTicks_ += 1;
    if (speedTicks_ > ticksPerSpeedStep_) {
        if (speedLevel_ < topSpeedLevel) speedLevel_ += 1;
        speedTicks_ = 0;
    }
}

void GameRules::replaceFormation() {
    play_.formation.reset();
    play_.formation = std::make_unique<TileFormation>(play_.random);
    ++formationsBuilt_;
}

void GameRules::clearLevel() {
    replaceFormation();
    play_.level.add(1);
    speedLevel_ = 1;
    speedTicks_ = 0;
    if (ticksPerSpeedStep_ > shortestSpeedStep) ticksPerSpeedStep_ -= 30;
}

void GameRules::loseLife() {
    Servobot& servobot = play_.servobot;
    // A tile that reached the Servobot takes its formation with it; an
    // impulse leaves the formation as it is.
    if (!servobot.killedByImpulse()) replaceFormation();
    startCue(IDS_LIFE_LOST);
    speedLevel_ = 1;
    speedTicks_ = 0;
    servobot.reset();
    servobot.hidden = false;
    // The world plays on after game over (behind the closing questions);
    // lives stop at 0 there instead of being drawn as a count again.
    if (play_.lives.value() > 0) play_.lives.add(-1);
}

void GameRules::renewVaktorFigures() {
    for (VaktorFigure& figure : play_.vaktorFigures) figure.restore();
    play_.formation->restrictDescent();
    vaktorRenewals_ += 1;
}

void GameRules::giveExtraLife() {
    extraLivesGiven_ += 1;
    play_.lives.add(1);
}

void GameRules::endFrame() {
    TileFormation& formation = *play_.formation;
    if (formation.isEmpty() && !formation.divingTile()) clearLevel();
    if (play_.servobot.hidden) loseLife();
    if (play_.lives.value() == 0) play_.gameOver = true;

    for (VaktorFigure& figure : play_.vaktorFigures) figure.hitBySignal(play_.signal, *this);

    bool noFigureStands = true;
    for (const VaktorFigure& figure : play_.vaktorFigures) noFigureStands = noFigureStands && figure.hitsLeft() == 0;
    if (noFigureStands) play_.formation->extendDescent();

    // At most one renewal and one extra life a frame.
    if (play_.score.value() / pointsPerRestoration > vaktorRenewals_) renewVaktorFigures();
    if (play_.level.value() / levelsPerExtraLife > extraLivesGiven_) giveExtraLife();
}
