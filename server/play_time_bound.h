#pragma once
// How many points the game's rules allow in a given play time. A score above
// it was not played.
//
// Frames: the game updates frame n no earlier than 40 x n ms after the play
// time's zero (dialogs move the zero on by the time they were open; frames
// that fell behind are caught up back to back, but never before they are
// due). After t ms at most floor(t / 40) + 1 frames have been updated.
//
// Hits: one signal is in flight at a time and a hit spends it, so at most one
// tile is hit per frame. The shortest time between two hits is one frame: a
// signal fired from y 270 - 20 has risen to 243 when the tiles test it in its
// launch frame, its centre at y 251; with no Vaktor figure standing, the
// block sinks until its lowest row lies at y 268 to 270, and the row above it
// at 238 to 240, whose hit boxes reach from y + 1 to y + 24 and so hold 251.
// Holding the space bar fires again the frame after a hit.
//
// Points: a hit scores its digit (10 for 0) times at most 16, a fourth equal
// digit in a row: never more than 160.
//
// So after t ms: at most 160 x (floor(t / 40) + 1) points.
//
// The bound proves only that the score fits the play time the form states;
// the play time is the client's own number, and a form may state any time
// up to the longest. A play time of more than a day is no game (the game's
// counter is 32 bits, and a negative number sent, read unsigned, looks like
// weeks of play).
#include <cstdint>

inline constexpr std::int64_t msPerFrame = 40;
inline constexpr std::int64_t mostPointsPerHit = 16 * 10;
inline constexpr std::int64_t longestPlayTimeMs = 24 * 60 * 60 * 1000;

std::int64_t highestPlausibleScore(std::uint32_t playTimeMs);
