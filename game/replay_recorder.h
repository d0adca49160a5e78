#pragma once
// ReplayRecorder: what a world notes of itself as it plays, frame by frame,
// so that its game can be played again from its seed alone.
#include <cstdint>
#include <string>

#include "game/replay.h"

class ReplayRecorder {
public:
    ReplayRecorder(std::uint32_t seed, std::string ticket);

    // An update begins: the frame before it was drawn or not.
    void beginFrame();
    // The keys as the controller saw them in this update.
    void noteKeys(const ReplayKeys& keys);
    // The update has ended; true when the state hash is due now.
    bool endFrame();
    void noteStateHash(std::uint32_t hash);
    // The frame last updated was drawn.
    void noteDrawn() { drawn_ = true; }

    const Replay& replay() const { return replay_; }

private:
    Replay replay_;
    ReplayKeys keys_;
    bool drawn_ = false;
};
