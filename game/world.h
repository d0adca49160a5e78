#pragma once
// World: one game from its first frame to game over. Owns every object of
// play, advances them in a fixed order each frame, applies the rules between
// them (speed, lives, levels, Vaktor restorations, extra lives) and draws
// everything into the screen image.
#include <cstdint>
#include <memory>

#include "game/keyboard_controller.h"
#include "game/servobot.h"
#include "game/signal.h"
#include "game/tile_formation.h"
#include "game/vaktor_figure.h"
#include "gfx/image.h"
#include "gfx/number_display.h"
#include "gfx/screen_image.h"

class World {
public:
    World();
    virtual ~World();

    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // One step of the game.
    void update();
    // Draws the current state into the frame buffer; the context is unused.
    void render(void* paintContext);

    std::uint8_t gameOver = 0;
    KeyboardController controller;
    std::unique_ptr<ScreenImage> screen;
    std::unique_ptr<NumberDisplay> scoreDisplay;
    std::unique_ptr<NumberDisplay> livesDisplay;
    std::unique_ptr<NumberDisplay> levelDisplay;
    std::unique_ptr<TileFormation> formation;
    Signal signal;
    Image panelImage;
    Servobot servobot;
    VaktorFigure vaktorFigures[4];
    std::int32_t extraLivesGiven = 0;
    std::int32_t vaktorRenewals = 0;
    std::int32_t speedLevel = 1;
    std::int32_t speedTicks = 0;
    std::int32_t ticksPerSpeedStep = 600;
    std::unique_ptr<Image> digitImages[10];
    // Formations built in this world, the first included: lets an observer
    // tell a new formation from the old one.
    std::uint32_t formationsBuilt = 0;

private:
    void replaceFormation();
    void updateSpeed();
    void moveServobot();
    void clearLevel();
    void loseLife();
    void renewVaktorFigures();
    void giveExtraLife();
    void drawCodeStore();
};
