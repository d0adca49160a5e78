#pragma once
// World: one game from its first frame to game over. Owns every object of
// play and the screen it is drawn into, advances the objects in a fixed order
// each frame with the rules between them (GameRules: hits, speed, lives,
// levels, Vaktor restorations, extra lives) and draws everything into its
// screen image.
#include <cstdint>
#include <memory>
#include <string>

#include "game/code_store.h"
#include "game/cue_events.h"
#include "game/game_rules.h"
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

    // The rules' own counts: speed, renewals, extra lives, formations built.
    const GameRules& rules() const { return rules_; }
    // Set when the lives have run out; never cleared in this world.
    bool gameOver() const { return gameOver_; }
    const GameRandom& random() const { return random_; }
    const KeyboardController& controller() const { return controller_; }
    // The 400 x 300 picture of the game, in palette indices.
    const Image& screen() const { return screen_; }

    // The world's objects and counts. Reading a guarded count checks its
    // guard, so it takes the world as it is, not as a constant; the other
    // parts are open to what arranges a game (the tests) as well.
    GuardedValue& score() { return score_; }
    GuardedValue& lives() { return lives_; }
    GuardedValue& level() { return level_; }
    const GuardedValue& score() const { return score_; }
    const GuardedValue& lives() const { return lives_; }
    const GuardedValue& level() const { return level_; }
    // The hit digits, which raise the score.
    CodeStore& codeStore() { return codeStore_; }
    const CodeStore& codeStore() const { return codeStore_; }
    TileFormation& formation() { return *formation_; }
    const TileFormation& formation() const { return *formation_; }
    Signal& signal() { return signal_; }
    const Signal& signal() const { return signal_; }
    Servobot& servobot() { return servobot_; }
    const Servobot& servobot() const { return servobot_; }
    VaktorFigure (&vaktorFigures())[4] { return vaktorFigures_; }
    const VaktorFigure (&vaktorFigures() const)[4] { return vaktorFigures_; }

private:
    bool gameOver_ = false;
    GameRandom random_;
    KeyboardController controller_;
    Image screen_;
    GuardedValue score_;
    GuardedValue lives_;
    GuardedValue level_;
    CodeStore codeStore_;
    std::unique_ptr<Image> digitImages_[10];
    std::unique_ptr<NumberDisplay> scoreDisplay_;
    std::unique_ptr<NumberDisplay> livesDisplay_;
    std::unique_ptr<NumberDisplay> levelDisplay_;
    std::unique_ptr<TileFormation> formation_;
    Signal signal_;
    Image panelImage_;
    Servobot servobot_;
    VaktorFigure vaktorFigures_[4];
    CueEvents cues_;
    ReplayRecorder recorder_;
    GameRules rules_;

    void moveServobot();
    void drawCodeStore();
};
