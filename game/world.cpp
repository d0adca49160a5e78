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
    : random_(seed),
      controller_(keyLatches),
      screen_(screenWidth, screenHeight),
      score_(scoreIntegrityFlag, 0),
      lives_(scoreIntegrityFlag, startingLives),
      level_(scoreIntegrityFlag, 1),
      codeStore_(score_),
      recorder_(seed, std::move(ticket)),
      rules_({servobot_, signal_, vaktorFigures_, formation_, score_, lives_, level_, codeStore_, random_, cues_,
              gameOver_}) {
    scoreIntegrityFlag = false;

    for (int d = 0; d < 10; ++d) digitImages_[d] = std::make_unique<Image>(IDP_DIGIT_0 + d);

    const Image* digits[10];
    for (int d = 0; d < 10; ++d) digits[d] = digitImages_[d].get();
    auto makeDisplay = [&](int y) {
        auto display = std::make_unique<NumberDisplay>(digits);
        display->spacing = 2;
        display->alignment = 0;
        display->setPosition(readoutX, y);
        return display;
    };
    scoreDisplay_ = makeDisplay(60);
    livesDisplay_ = makeDisplay(102);
    levelDisplay_ = makeDisplay(18);

    controller_.clearKeys();

    servobot_.setHitBox(0, 0, 35, 25);

    rules_.replaceFormation();

    panelImage_.load(IDP_PANEL);

    for (int i = 0; i < 4; ++i) {
        vaktorFigures_[i].x = vaktorX[i];
        vaktorFigures_[i].y = vaktorY;
        vaktorFigures_[i].setHitBox(0, 0, 37, 30);
    }

    cues_.push_back(IDS_NEW_WORLD);
}

CueEvents World::takeCues() { return std::exchange(cues_, {}); }

void World::moveServobot() {
    if (controller_.horizontal() > 0 && servobot_.x < screen_.width - servobot_.width - servobotMargin) {
        servobot_.x += servobotStep;
    }
    if (controller_.horizontal() < 0 && servobot_.x > 3) servobot_.x -= servobotStep;
}

void World::update() {
    // The replay ends with the update that set game over.
    bool recording = !gameOver_;
    if (recording) recorder_.beginFrame();
    rules_.countFrame();
    controller_.poll();
    if (recording)
        recorder_.noteKeys({controller_.horizontal() < 0, controller_.horizontal() > 0, controller_.fire() != 0});
    moveServobot();
    if (controller_.fire()) signal_.fire(servobot_.x, servobot_.y, cues_);
    signal_.update();

    VaktorFigure* const figures[4] = {&vaktorFigures_[0], &vaktorFigures_[1], &vaktorFigures_[2], &vaktorFigures_[3]};
    formation_->update(signal_, servobot_, figures, rules_.speedLevel(), rules_);
    rules_.endFrame();

    if (recording && recorder_.endFrame()) recorder_.noteStateHash(stateHash(*this));
}

void World::drawCodeStore() {
    for (int entry = 3; entry >= 0; --entry) {
        std::int32_t digit = codeStore_.entry(entry);
        if (digit != -1) screen_.blit(formation_->digitImage(digit), codeStoreX, codeStoreY[entry]);
    }
}

void World::noteDrawnFrame() {
    servobot_.countDrawnFrame();
    formation_->countDrawnFrame();
    recorder_.noteDrawn();
}

void World::render() {
    noteDrawnFrame();
    screen_.fillRect(0, 0, playfieldWidth, screenHeight, playfieldGreen);
    servobot_.draw(screen_);
    formation_->draw(screen_);
    screen_.fillRect(playfieldWidth, 0, 2, screenHeight, dividerBlack);
    screen_.blit(panelImage_, panelX, 0);
    drawCodeStore();
    for (VaktorFigure& figure : vaktorFigures_) figure.draw(screen_);
    signal_.draw(screen_);
    scoreDisplay_->draw(screen_, score_.shown());
    livesDisplay_->draw(screen_, lives_.shown());
    levelDisplay_->draw(screen_, level_.shown());
}
