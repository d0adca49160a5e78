#pragma once
// Replay: one world from its construction to the update that set game over
// (or to now, if it has not ended), as its seed, the keys the controller saw
// in each frame, the frames that were not drawn (drawing counts the
// Servobot's protection down) and a hash of the whole game state every 250
// frames. Its binary form (docs/replay-format.md) is what a shell sends; the
// decoder is strict, as the bytes come from outside.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/rules_version.h"

inline constexpr std::uint16_t replayFormatVersion = 1;
inline constexpr std::uint32_t framesPerStateHash = 250;
inline constexpr std::size_t maxTicketLength = 64;

struct ReplayKeys {
    bool left = false, right = false, fire = false;
    bool operator==(const ReplayKeys&) const = default;
};

// The keys from `frame` on, until the next change.
struct KeyChange {
    std::uint32_t frame = 0;
    ReplayKeys keys;
    bool operator==(const KeyChange&) const = default;
};

struct Replay {
    std::uint16_t formatVersion = replayFormatVersion;
    std::uint16_t rulesVersion = ::rulesVersion;
    // Filled in by the shell that sends it: the checksum and size of its program.
    std::uint32_t buildChecksum = 0, buildSize = 0;
    std::uint32_t seed = 0;
    // Empty without one; see ticketIsValid.
    std::string ticket;
    // World updates recorded.
    std::uint32_t frames = 0;
    // In frame order, each one different from the keys before it (all up at first).
    std::vector<KeyChange> changes;
    // Frames whose update was not followed by a render, in order (frame 0
    // always); the last frame's is not yet known and never listed.
    std::vector<std::uint32_t> undrawnFrames;
    // The state after frames 250, 500, ...
    std::vector<std::uint32_t> stateHashes;
    bool operator==(const Replay&) const = default;
};

struct ReplayLimits {
    std::size_t maxBytes = 64 * 1024;
    std::uint32_t maxFrames = 4 * 60 * 60 * 25;
};

// Up to maxTicketLength printable ASCII characters, no space.
bool ticketIsValid(const std::string& ticket);

// The key bits of the binary form.
inline constexpr std::uint8_t leftBit = 1, rightBit = 2, fireBit = 4;

std::vector<std::uint8_t> encodeReplay(const Replay& replay);

// Strict: refuses unknown format versions, truncated input, trailing bytes,
// caps exceeded, key changes out of order, repeated or beyond `frames`,
// undrawn frames out of order or beyond the last decided one, and a hash
// count other than frames / 250; also any replay that could be written in
// fewer bytes (overlong numbers), so that one game has one form.
std::optional<Replay> decodeReplay(std::span<const std::uint8_t> bytes, const ReplayLimits& limits, std::string& error);

// The rules decodeReplay holds a replay to, for one that was built otherwise.
bool replayIsWellFormed(const Replay& replay, const ReplayLimits& limits, std::string& error);
