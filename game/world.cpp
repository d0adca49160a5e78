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
      recorder_(seed, std::move(ticket)),
      rules_({servobot, signal, vaktorFigures, formation, score, lives, level, codeStore, random, cues_, gameOver}) {
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

    rules_.replaceFormation();

    panelImage.load(IDP_PANEL);

    for (int i = 0; i < 4; ++i) {
        vaktorFigures[i].x = vaktorX[i];
        vaktorFigures[i].y = vaktorY;
        vaktorFigures[i].setHitBox(0, 0, 37, 30);
    }

    cues_.push_back(IDS_NEW_WORLD);
}

CueEvents World::takeCues() { return std::exchange(cues_, {}); }

void World::moveServobot() {
    if (controller.horizontal() > 0 && servobot.x < screen.width - servobot.width - servobotMargin) {
        servobot.x += servobotStep;
    }
    if (controller.horizontal() < 0 && servobot.x > 3) servobot.x -= servobotStep;
}

void World::update() {
    // The replay ends with the update that set game over.
    bool recording = !gameOver;
    if (recording) recorder_.beginFrame();
    rules_.countFrame();
    controller.poll();
    if (recording)
        recorder_.noteKeys({controller.horizontal() < 0, controller.horizontal() > 0, controller.fire() != 0});
    moveServobot();
    if (controller.fire()) signal.fire(servobot.x, servobot.y, cues_);
    signal.update();

    VaktorFigure* const figures[4] = {&vaktorFigures[0], &vaktorFigures[1], &vaktorFigures[2], &vaktorFigures[3]};
    formation->update(signal, servobot, figures, rules_.speedLevel(), rules_);
    rules_.endFrame();

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
