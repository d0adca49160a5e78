#pragma once
// World: one game from its first frame to game over. Owns every object of
// play and the screen it is drawn into, advances the objects in a fixed order
// each frame, applies the rules between them (speed, lives, levels, Vaktor
// restorations, extra lives) and draws everything into its screen image.
#include <cstdint>
#include <memory>
#include <string>

#include "game/code_store.h"
#include "game/cue_events.h"
#include "game/guarded_value.h"
#include "game/key_latches.h"
#include "game/keyboard_controller.h"
#include "game/random.h"
#include "game/replay.h"
#include "game/replay_recorder.h"
#include "game/servobot.h"
#include "game/signal.h"
#include "game/tile_formation.h"
#include "game/vaktor_figure.h"
#include "gfx/image.h"
#include "gfx/number_display.h"

class World {
public:
    // A new game whose every random choice follows from `seed`, reading the
    // player's keys from `keyLatches` (cleared here) and raising
    // `scoreIntegrityFlag` (cleared here) when a guarded value of it is found
    // changed from outside. Its replay names the seed by `ticket`.
    World(std::uint32_t seed, KeyLatches& keyLatches, bool& scoreIntegrityFlag, std::string ticket = {});

    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // One step of the game.
    void update();
    // Draws the current state into `screen`: noteDrawnFrame, then the pictures.
    void render();
    // What drawing a frame changes in the game, without the pictures: the
    // Servobot's protection and the tiles' blinking count drawn frames.
    void noteDrawnFrame();

    // The game so far, from the construction to the update that set game
    // over (or to the last update, while the game goes on).
    const Replay& replay() const { return recorder_.replay(); }

    // The cues started since the last call (the construction's opening
    // music first), in order; the list is empty afterwards.
    CueEvents takeCues();

    bool gameOver = false;
    GameRandom random;
    KeyboardController controller;
    // The 400 x 300 picture of the game, in palette indices.
    Image screen;
    GuardedValue score;
    GuardedValue lives;
    GuardedValue level;
    // The hit digits, which raise the score.
    CodeStore codeStore;
    std::unique_ptr<Image> digitImages[10];
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
    // Formations built in this world, the first included: lets an observer
    // tell a new formation from the old one.
    std::uint32_t formationsBuilt = 0;

private:
    CueEvents cues_;
    ReplayRecorder recorder_;

    void replaceFormation();
    void updateSpeed();
    void moveServobot();
    void clearLevel();
    void loseLife();
    void renewVaktorFigures();
    void giveExtraLife();
    void drawCodeStore();
};
