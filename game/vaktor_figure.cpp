#include "game/vaktor_figure.h"

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
    pristine.load(IDP_VAKTOR);
    restore();
}

void VaktorFigure::restore() {
    blit(pristine, 0, 0);
    hitsLeft = 11;
    hidden = false;
}

void VaktorFigure::takeHit(CueEvents& cues) {
    if (hidden) return;
    if (hitsLeft == 1) hidden = true;
    hitsLeft -= 1;
    cues.push_back(IDS_VAKTOR_HIT);
    if (hitsLeft >= 1 && hitsLeft <= 10) {
        const KeyPosition& key = keyErasedAt[hitsLeft];
        fillRect(key.x, key.y, keySize, keySize, faceGreen);
    }
}

void VaktorFigure::hitBySignal(Signal& signal, CueEvents& cues) {
    if (hitsLeft == 0 || hidden || signal.hidden) return;
    if (containsPoint(signal.centreX(), signal.centreY())) {
        takeHit(cues);
        signal.hidden = true;
    }
}
