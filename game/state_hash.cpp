#include "game/state_hash.h"

#include "game/world.h"

namespace {

// FNV-1a over the values' 32-bit two's-complement bytes, least significant first.
class Hasher {
public:
    Hasher& operator<<(std::int64_t value) {
        auto word = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            hash_ = (hash_ ^ ((word >> (8 * i)) & 0xFFu)) * 16777619u;
        }
        return *this;
    }
    std::uint32_t value() const { return hash_; }

private:
    std::uint32_t hash_ = 2166136261u;
};

void addSprite(Hasher& h, const Sprite& sprite) { h << sprite.x << sprite.y << sprite.hidden; }

void addTile(Hasher& h, const DigitTile& tile) {
    addSprite(h, tile);
    h << tile.digit() << tile.flashFlag() << tile.flashCounter();
}

void addImpulse(Hasher& h, const Impulse& impulse) {
    addSprite(h, impulse);
    h << impulse.reloadTimer();
}

}  // namespace

std::uint32_t stateHash(const World& world) {
    Hasher h;
    h << world.random().state() << world.gameOver() << world.score().shown() << world.lives().shown()
      << world.level().shown();
    const GameRules& rules = world.rules();
    h << rules.speedLevel() << rules.speedTicks() << rules.ticksPerSpeedStep() << rules.extraLivesGiven()
      << rules.vaktorRenewals();
    for (int entry = 0; entry < 4; ++entry) h << world.codeStore().entry(entry);
    h << world.controller().horizontal() << world.controller().fire();

    addSprite(h, world.servobot());
    h << world.servobot().killedByImpulse() << world.servobot().blinkCounter() << world.servobot().isProtected();
    addSprite(h, world.signal());
    for (const VaktorFigure& figure : world.vaktorFigures()) {
        addSprite(h, figure);
        h << figure.hitsLeft();
    }

    const TileFormation& formation = world.formation();
    h << formation.offsetX << formation.offsetY << formation.blockVelocity() << formation.descentStep()
      << formation.divingVelocity << formation.diveTimer << formation.lowLimit() << formation.lowestTop()
      << formation.leftmostX() << formation.rightmostX();
    h << static_cast<std::int64_t>(formation.tiles.size());
    for (const auto& tile : formation.tiles) addTile(h, *tile);
    h << (formation.divingTile() != nullptr);
    if (const DigitTile* diving = formation.divingTile()) addTile(h, *diving);
    addImpulse(h, *formation.star);
    addImpulse(h, *formation.square);
    return h.value();
}
