#include "game/vaktor_figure.h"

#include "game/game_rules.h"
#include "res/resource_ids.h"

namespace {

// Top-left corner of the key erased when a hit leaves `hitsLeft` hits,
// indexed by hitsLeft 1 .. 10: keys 0, 9, 8 … 1 read back from the last.
struct KeyPosition {
    int x;
    int y;
};
constexpr KeyPosition keyErasedAt[11] = {
    {0, 0},  // unused: the figure vanishes instead
    {15, 21}, {21, 16}, {15, 16}, {9, 16}, {21, 10}, {15, 10}, {9, 10}, {21, 4}, {15, 4}, {9, 4},
};

constexpr int keySize = 6;
constexpr std::uint8_t faceGreen = 134;

}  // namespace

VaktorFigure::VaktorFigure() {
    load(IDP_VAKTOR);
    pristine_.load(IDP_VAKTOR);
    restore();
}

void VaktorFigure::restore() {
    blit(pristine_, 0, 0);
    hitsLeft_ = 11;
    hidden = false;
}

void VaktorFigure::takeHit(CueEvents& cues) {
    if (hidden) return;
    if (hitsLeft_ == 1) hidden = true;
    hitsLeft_ -= 1;
    cues.push_back(IDS_VAKTOR_HIT);
    if (hitsLeft_ >= 1 && hitsLeft_ <= 10) {
        const KeyPosition& key = keyErasedAt[hitsLeft_];
        fillRect(key.x, key.y, keySize, keySize, faceGreen);
    }
}

void VaktorFigure::hitBySignal(const Signal& signal, GameRules& rules) {
    if (hitsLeft_ == 0 || hidden || signal.hidden) return;
    if (containsPoint(signal.centreX(), signal.centreY())) rules.signalHitFigure(*this);
}
