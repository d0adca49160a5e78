#include "game/replay_recorder.h"

#include <utility>

ReplayRecorder::ReplayRecorder(std::uint32_t seed, std::string ticket) {
    replay_.seed = seed;
    replay_.ticket = std::move(ticket);
}

void ReplayRecorder::beginFrame() {
    if (replay_.frames > 0 && !drawn_) replay_.undrawnFrames.push_back(replay_.frames - 1);
    drawn_ = false;
}

void ReplayRecorder::noteKeys(const ReplayKeys& keys) {
    if (keys == keys_) return;
    replay_.changes.push_back({replay_.frames, keys});
    keys_ = keys;
}

bool ReplayRecorder::endFrame() {
    replay_.frames += 1;
    return replay_.frames % framesPerStateHash == 0;
}

void ReplayRecorder::noteStateHash(std::uint32_t hash) { replay_.stateHashes.push_back(hash); }
