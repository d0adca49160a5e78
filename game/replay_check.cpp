#include "game/replay_check.h"

#include "game/key_latches.h"
#include "game/state_hash.h"
#include "game/world.h"

namespace {

ReplayVerdict refused(std::string why) {
    ReplayVerdict verdict;
    verdict.error = std::move(why);
    return verdict;
}

// Latches that the controller's poll reads as `keys`.
void holdKeys(KeyLatches& latches, const ReplayKeys& keys) {
    latches = KeyLatches{};
    latches.leftPressed = keys.left;
    latches.rightPressed = keys.right;
    latches.firePressed = keys.fire;
}

}  // namespace

ReplayVerdict verifyReplay(const Replay& replay, const ReplayLimits& limits) {
    if (replay.rulesVersion != rulesVersion) {
        return refused("rules version " + std::to_string(replay.rulesVersion) + " is not this build's (" +
                       std::to_string(rulesVersion) + ")");
    }
    std::string error;
    if (!replayIsWellFormed(replay, limits, error)) return refused(error);

    KeyLatches latches;
    bool integrityFlag = false;
    World world(replay.seed, latches, integrityFlag, replay.ticket);
    auto change = replay.changes.begin();
    auto undrawn = replay.undrawnFrames.begin();
    ReplayKeys keys;
    for (std::uint32_t frame = 0; frame < replay.frames; ++frame) {
        if (world.gameOver())
            return refused("the game ended at frame " + std::to_string(frame - 1) + ", before the replay");
        if (change != replay.changes.end() && change->frame == frame) keys = (change++)->keys;
        holdKeys(latches, keys);
        world.update();
        std::uint32_t played = frame + 1;
        if (played % framesPerStateHash == 0 &&
            stateHash(world) != replay.stateHashes[played / framesPerStateHash - 1]) {
            return refused("state hash differs at frame " + std::to_string(played));
        }
        // Drawn frames count down the Servobot's protection, so they are played too.
        if (undrawn != replay.undrawnFrames.end() && *undrawn == frame) {
            ++undrawn;
        } else if (played < replay.frames) {
            world.noteDrawnFrame();
        }
    }

    ReplayVerdict verdict;
    verdict.proven = true;
    verdict.score = world.score().shown();
    verdict.level = world.level().shown();
    verdict.frames = replay.frames;
    verdict.gameOver = world.gameOver();
    return verdict;
}
