#include "game/world.h"

#include <utility>

#include "game/state_hash.h"
#include "res/resource_ids.h"

namespace {

constexpr int screenWidth = 400;
constexpr int screenHeight = 300;
constexpr int playfieldWidth = 333;
constexpr std::uint8_t playfieldGreen = 134;
constexpr std::uint8_t dividerBlack = 0;
constexpr int panelX = 335;
constexpr int readoutX = 367;
constexpr int codeStoreX = 354;
// Code store rows, oldest entry (3) at the top, newest (0) lowest.
constexpr int codeStoreY[4] = {235, 207, 179, 151};

constexpr int startingLives = 4;
constexpr int topSpeedLevel = 10;
constexpr int shortestSpeedStep = 30;
constexpr int pointsPerRestoration = 2000;
constexpr int levelsPerExtraLife = 10;
// The Servobot's right edge stays this far left of the panel's inner side.
constexpr int servobotMargin = 71;
constexpr int servobotStep = 4;

constexpr int vaktorX[4] = {30, 105, 180, 255};
constexpr int vaktorY = 215;

}  // namespace

World::World(std::uint32_t seed, KeyLatches& keyLatches, bool& scoreIntegrityFlag, std::string ticket)
    : random(seed),
      controller(keyLatches),
      screen(screenWidth, screenHeight),
      score(scoreIntegrityFlag, 0),
      lives(scoreIntegrityFlag, startingLives),
      level(scoreIntegrityFlag, 1),
      codeStore(score),
      recorder_(seed, std::move(ticket)) {
    scoreIntegrityFlag = false;

    for (int d = 0; d < 10; ++d) digitImages[d] = std::make_unique<Image>(IDP_DIGIT_0 + d);

    const Image* digits[10];
    for (int d = 0; d < 10; ++d) digits[d] = digitImages[d].get();
    auto makeDisplay = [&](int y) {
        auto display = std::make_unique<NumberDisplay>(digits);
        display->spacing = 2;
        display->alignment = 0;
        display->setPosition(readoutX, y);
        return display;
    };
    scoreDisplay = makeDisplay(60);
    livesDisplay = makeDisplay(102);
    levelDisplay = makeDisplay(18);

    controller.clearKeys();

    servobot.setHitBox(0, 0, 35, 25);

    replaceFormation();

    panelImage.load(IDP_PANEL);

    for (int i = 0; i < 4; ++i) {
        vaktorFigures[i].x = vaktorX[i];
        vaktorFigures[i].y = vaktorY;
        vaktorFigures[i].setHitBox(0, 0, 37, 30);
    }

    cues_.push_back(IDS_NEW_WORLD);
}

CueEvents World::takeCues() { return std::exchange(cues_, {}); }

void World::replaceFormation() {
    // The old formation goes before the new one is built.
    formation.reset();
    formation = std::make_unique<TileFormation>(random);
    ++formationsBuilt;
}

void World::updateSpeed() {
    speedTicks += 1;
    if (speedTicks > ticksPerSpeedStep) {
        if (speedLevel < topSpeedLevel) speedLevel += 1;
        speedTicks = 0;
    }
}

void World::moveServobot() {
    if (controller.horizontal > 0 && servobot.x < screen.width - servobot.width - servobotMargin) {
        servobot.x += servobotStep;
    }
    if (controller.horizontal < 0 && servobot.x > 3) servobot.x -= servobotStep;
}

void World::clearLevel() {
    replaceFormation();
    level.add(1);
    speedLevel = 1;
    speedTicks = 0;
    if (ticksPerSpeedStep > shortestSpeedStep) ticksPerSpeedStep -= 30;
}

void World::loseLife() {
    // A tile that reached the Servobot takes its formation with it; an
    // impulse leaves the formation as it is.
    if (!servobot.killedByImpulse) replaceFormation();
    cues_.push_back(IDS_LIFE_LOST);
    speedLevel = 1;
    speedTicks = 0;
    servobot.reset();
    servobot.hidden = false;
    // The world plays on after game over (behind the closing questions);
    // lives stop at 0 there instead of being drawn as a count again.
    if (lives.value() > 0) lives.add(-1);
}

void World::renewVaktorFigures() {
    for (VaktorFigure& figure : vaktorFigures) figure.restore();
    formation->restrictDescent();
    vaktorRenewals += 1;
}

void World::giveExtraLife() {
    extraLivesGiven += 1;
    lives.add(1);
}

void World::update() {
    // The replay ends with the update that set game over.
    bool recording = !gameOver;
    if (recording) recorder_.beginFrame();
    updateSpeed();
    controller.poll();
    if (recording) recorder_.noteKeys({controller.horizontal < 0, controller.horizontal > 0, controller.fire != 0});
    moveServobot();
    if (controller.fire) signal.fire(servobot.x, servobot.y, cues_);
    signal.update();

    VaktorFigure* const figures[4] = {&vaktorFigures[0], &vaktorFigures[1], &vaktorFigures[2], &vaktorFigures[3]};
    formation->update(signal, servobot, figures, speedLevel, codeStore, cues_);

    if (formation->isEmpty() && !formation->divingTile()) clearLevel();
    if (servobot.hidden) loseLife();
    if (lives.value() == 0) gameOver = true;

    for (VaktorFigure& figure : vaktorFigures) figure.hitBySignal(signal, cues_);

    bool noFigureStands = true;
    for (const VaktorFigure& figure : vaktorFigures) noFigureStands = noFigureStands && figure.hitsLeft == 0;
    if (noFigureStands) formation->extendDescent();

    if (score.value() / pointsPerRestoration > vaktorRenewals) renewVaktorFigures();
    if (level.value() / levelsPerExtraLife > extraLivesGiven) giveExtraLife();

    if (recording && recorder_.endFrame()) recorder_.noteStateHash(stateHash(*this));
}

void World::drawCodeStore() {
    for (int entry = 3; entry >= 0; --entry) {
        std::int32_t digit = codeStore.entry(entry);
        if (digit != -1) screen.blit(formation->digitImage(digit), codeStoreX, codeStoreY[entry]);
    }
}

void World::noteDrawnFrame() {
    servobot.countDrawnFrame();
    formation->countDrawnFrame();
    recorder_.noteDrawn();
}

void World::render() {
    noteDrawnFrame();
    screen.fillRect(0, 0, playfieldWidth, screenHeight, playfieldGreen);
    servobot.draw(screen);
    formation->draw(screen);
    screen.fillRect(playfieldWidth, 0, 2, screenHeight, dividerBlack);
    screen.blit(panelImage, panelX, 0);
    drawCodeStore();
    for (VaktorFigure& figure : vaktorFigures) figure.draw(screen);
    signal.draw(screen);
    scoreDisplay->draw(screen, score.shown());
    livesDisplay->draw(screen, lives.shown());
    levelDisplay->draw(screen, level.shown());
}
