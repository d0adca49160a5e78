#pragma once
// GameRules: every rule that lies between the game's objects, in one place.
// The objects find their own contacts (a signal inside a tile, an impulse on
// a figure) and hand them here, the moment they find them; what a contact
// does to the others is decided here. So are the rules of a frame's end that
// the world's counts make: speed, cleared levels, lost lives, game over, the
// Vaktor figures' renewals and extra lives.
#include <cstdint>
#include <memory>

#include "game/code_store.h"
#include "game/cue_events.h"
#include "game/guarded_value.h"
#include "game/random.h"

class DigitTile;
class Impulse;
class Servobot;
class Signal;
class TileFormation;
class VaktorFigure;

// What the rules act on: the world's objects and counts.
struct RulesPlay {
    Servobot& servobot;
    Signal& signal;
    VaktorFigure (&vaktorFigures)[4];
    std::unique_ptr<TileFormation>& formation;
    GuardedValue& score;
    GuardedValue& lives;
    GuardedValue& level;
    CodeStore& codeStore;
    GameRandom& random;
    CueEvents& cues;
    bool& gameOver;
};

class GameRules {
public:
    explicit GameRules(const RulesPlay& play) : play_(play) {}

    GameRules(const GameRules&) = delete;
    GameRules& operator=(const GameRules&) = delete;

    // The contacts. The signal reached a tile: its tone, its digit into the
    // code store, and both gone.
    void signalHitTile(DigitTile& tile);
    // A tile reached the Servobot: a life is lost at the frame's end, unless
    // it is protected, and the formation with it.
    void tileReachedServobot();
    // An impulse reached the Servobot: the same, but the formation stays.
    void impulseReachedServobot();
    // A standing figure absorbs the impulse and loses a key.
    void impulseHitFigure(Impulse& impulse, VaktorFigure& figure);
    // A standing figure takes the signal's hit and the signal is spent.
    void signalHitFigure(VaktorFigure& figure);
    // An object started sound cue `id`.
    void startCue(int id) { play_.cues.push_back(id); }

    // The first of a frame's rules: the speed rises with the frames.
    void countFrame();
    // The rules after the formation's frame: a cleared level, a lost life,
    // the game's end, the signal on the figures, the block's descent, the
    // figures' renewal and an extra life.
    void endFrame();
    // The old formation goes, then a new one is built.
    void replaceFormation();

    // 1 to 10; the formation's speed.
    std::int32_t speedLevel() const { return speedLevel_; }
    std::int32_t ticksPerSpeedStep() const { return ticksPerSpeedStep_; }
    std::int32_t vaktorRenewals() const { return vaktorRenewals_; }
    std::int32_t extraLivesGiven() const { return extraLivesGiven_; }
    std::int32_t speedTicks() const { return speedTicks_; }
    // Formations built in this world, the first included: lets an observer
    // tell a new formation from the old one.
    std::uint32_t formationsBuilt() const { return formationsBuilt_; }

private:
    void clearLevel();
    void loseLife();
    void renewVaktorFigures();
    void giveExtraLife();

    RulesPlay play_;
    std::int32_t extraLivesGiven_ = 0;
    std::int32_t vaktorRenewals_ = 0;
    std::int32_t speedLevel_ = 1;
    std::int32_t speedTicks_ = 0;
    std::int32_t ticksPerSpeedStep_ = 600;
    std::uint32_t formationsBuilt_ = 0;
};
