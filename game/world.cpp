#include "game/world.h"

#include "game/code_store.h"
#include "game/random.h"
#include "platform/calendar.h"
#include "platform/cues.h"
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

World::World() {
    scoreIntegrityFlag = 0;

    for (int d = 0; d < 10; ++d) digitImages[d] = std::make_unique<Image>(IDP_DIGIT_0 + d);

    screen = std::make_unique<ScreenImage>(screenWidth, screenHeight);

    Image* digits[10];
    for (int d = 0; d < 10; ++d) digits[d] = digitImages[d].get();
    auto makeDisplay = [&](std::int32_t value, int y) {
        auto display = std::make_unique<NumberDisplay>(screen.get(), digits);
        display->spacing = 2;
        display->alignment = 0;
        display->setValue(value);
        display->setPosition(readoutX, y);
        return display;
    };
    scoreDisplay = makeDisplay(0, 60);
    livesDisplay = makeDisplay(startingLives, 102);
    levelDisplay = makeDisplay(1, 18);

    controller.clearKeys();

    extraLivesGiven = 0;
    vaktorRenewals = 0;
    ticksPerSpeedStep = 600;
    speedTicks = 0;
    speedLevel = 1;
    gameOver = 0;

    servobot.setHitBox(0, 0, 35, 25);

    gameRandom::srand(static_cast<std::uint32_t>(platform::calendarSeconds()));

    replaceFormation();

    codeStore.clear();

    panelImage.load(IDP_PANEL);

    for (int i = 0; i < 4; ++i) {
        vaktorFigures[i].x = vaktorX[i];
        vaktorFigures[i].y = vaktorY;
        vaktorFigures[i].setHitBox(0, 0, 37, 30);
    }

    platform::playCue(IDS_NEW_WORLD);
}

World::~World() {
    formation.reset();
    scoreDisplay.reset();
    livesDisplay.reset();
    levelDisplay.reset();
    screen.reset();
    for (auto& image : digitImages) image.reset();
}

void World::replaceFormation() {
    // The old formation goes before the new one is built.
    formation.reset();
    formation = std::make_unique<TileFormation>();
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
    if (controller.horizontal > 0 && servobot.x < screen->width - servobot.width - servobotMargin) {
        servobot.x += servobotStep;
    }
    if (controller.horizontal < 0 && servobot.x > 3) servobot.x -= servobotStep;
}

void World::clearLevel() {
    replaceFormation();
    levelDisplay->add(1);
    speedLevel = 1;
    speedTicks = 0;
    if (ticksPerSpeedStep > shortestSpeedStep) ticksPerSpeedStep -= 30;
}

void World::loseLife() {
    // A tile that reached the Servobot takes its formation with it; an
    // impulse leaves the formation as it is.
    if (!servobot.killedByImpulse) replaceFormation();
    platform::playCue(IDS_LIFE_LOST);
    speedLevel = 1;
    speedTicks = 0;
    servobot.reset();
    servobot.hidden = false;
    // The world plays on after game over (behind the closing questions);
    // lives stop at 0 there instead of being drawn as a count again.
    if (livesDisplay->value() > 0) livesDisplay->add(-1);
}

void World::renewVaktorFigures() {
    for (VaktorFigure& figure : vaktorFigures) figure.restore();
    formation->restrictDescent();
    vaktorRenewals += 1;
}

void World::giveExtraLife() {
    extraLivesGiven += 1;
    livesDisplay->add(1);
}

void World::update() {
    updateSpeed();
    controller.poll();
    moveServobot();
    if (controller.fire) signal.fire(servobot.x, servobot.y);
    signal.update();

    VaktorFigure* const figures[4] = {&vaktorFigures[0], &vaktorFigures[1], &vaktorFigures[2], &vaktorFigures[3]};
    formation->update(signal, servobot, figures, speedLevel, *scoreDisplay);

    if (formation->isEmpty() && !formation->divingTile()) clearLevel();
    if (servobot.hidden) loseLife();
    if (livesDisplay->value() == 0) gameOver = 1;

    for (VaktorFigure& figure : vaktorFigures) figure.hitBySignal(signal);

    bool noFigureStands = true;
    for (const VaktorFigure& figure : vaktorFigures) noFigureStands = noFigureStands && figure.hitsLeft == 0;
    if (noFigureStands) formation->extendDescent();

    if (scoreDisplay->value() / pointsPerRestoration > vaktorRenewals) renewVaktorFigures();
    if (levelDisplay->value() / levelsPerExtraLife > extraLivesGiven) giveExtraLife();
}

void World::drawCodeStore() {
    for (int entry = 3; entry >= 0; --entry) {
        std::int32_t digit = codeStore.entry(entry);
        if (digit != -1) screen->blit(formation->digitImage(digit), codeStoreX, codeStoreY[entry]);
    }
}

void World::render(void*) {
    screen->bindToFrameBuffer();
    // Without a frame buffer there is nothing to draw into.
    if (!screen->boundToFrameBuffer) return;

    screen->fillRect(0, 0, playfieldWidth, screenHeight, playfieldGreen);
    servobot.draw(*screen);
    formation->draw(*screen);
    screen->fillRect(playfieldWidth, 0, 2, screenHeight, dividerBlack);
    screen->blit(panelImage, panelX, 0);
    drawCodeStore();
    for (VaktorFigure& figure : vaktorFigures) figure.draw(*screen);
    signal.draw(*screen);
    scoreDisplay->draw();
    livesDisplay->draw();
    levelDisplay->draw();
}
