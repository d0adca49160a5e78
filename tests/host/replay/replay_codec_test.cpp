// The binary form of a replay: its exact layout, and a decoder that takes
// nothing but that layout's one form.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/replay.h"

namespace {

Replay smallReplay() {
    Replay replay;
    replay.buildChecksum = 0xCAFEBABE;
    replay.buildSize = 4096;
    replay.seed = 0x01020304;
    replay.ticket = "ab";
    replay.frames = 300;
    replay.changes = {{0, {false, false, true}}, {130, {true, false, false}}};
    replay.undrawnFrames = {0, 5};
    replay.stateHashes = {0xA1B2C3D4};
    return replay;
}

// The layout of docs/replay-format.md, byte by byte.
// clang-format off
const std::vector<std::uint8_t> smallReplayBytes = {
    'Z', 'R', 'P', 'L', 1, 0, 1, 0,  // magic, format version 1, rules version 1
    0xBE, 0xBA, 0xFE, 0xCA,          // build checksum
    0x00, 0x10, 0x00, 0x00,          // build size 4096
    0x04, 0x03, 0x02, 0x01,          // seed
    2, 'a', 'b',                     // ticket
    0xAC, 0x02,                      // 300 frames
    2, 0x04, 0x91, 0x08,             // fire from frame 0; Left from 130 (130 << 3 | 1 = 1041)
    2, 0, 5,                         // frames 0 and 5 not drawn
    1, 0xD4, 0xC3, 0xB2, 0xA1,       // the hash after frame 250
};
// clang-format on

std::optional<Replay> decode(const std::vector<std::uint8_t>& bytes, std::string& error,
                             const ReplayLimits& limits = {}) {
    return decodeReplay(bytes, limits, error);
}

TEST(ReplayCodec, TheLayoutIsTheDocumentedOneAndReadsBackAlike) {
    EXPECT_EQ(encodeReplay(smallReplay()), smallReplayBytes);
    std::string error;
    auto decoded = decode(smallReplayBytes, error);
    ASSERT_TRUE(decoded) << error;
    EXPECT_EQ(*decoded, smallReplay());
}

TEST(ReplayCodec, EveryShorterPrefixIsRefused) {
    for (std::size_t size = 0; size < smallReplayBytes.size(); ++size) {
        std::vector<std::uint8_t> prefix(smallReplayBytes.begin(), smallReplayBytes.begin() + size);
        std::string error;
        EXPECT_FALSE(decode(prefix, error)) << "the first " << size << " bytes";
        EXPECT_FALSE(error.empty());
    }
}

TEST(ReplayCodec, FormsOtherThanTheOneAreRefused) {
    struct Case {
        const char* name;
        std::size_t at;                  // where the bytes are replaced...
        std::size_t length;              // ...this many of them...
        std::vector<std::uint8_t> with;  // ...by these
        const char* error;
    };
    const Case cases[] = {
        {"another magic", 0, 1, {'X'}, "not a replay"},
        {"format version 2", 4, 1, {2}, "unknown format version 2"},
        {"a ticket of 65 bytes", 20, 3, std::vector<std::uint8_t>(1, 65), "ticket"},
        {"a ticket with a space", 21, 1, {' '}, "ticket"},
        {"frames in an overlong number", 23, 2, {0xAC, 0x82, 0x00}, "frames"},
        {"more frames than allowed", 23, 2, {0xC1, 0xFC, 0x15}, "frames"},
        {"a key change in an overlong number", 26, 1, {0x84, 0x00}, "key changes"},
        {"keys that change nothing", 26, 1, {0x00}, "changes nothing"},
        {"Left and Right at once", 27, 2, {0x93, 0x08}, "Left and Right"},
        {"two changes in one frame", 27, 2, {0x01}, "out of order"},
        {"a key change after the last frame", 27, 2, {0xE1, 0x12}, "after the last frame"},
        {"more changes than bytes", 25, 1, {100}, "truncated"},
        {"undrawn frames out of order", 31, 1, {0}, "out of order"},
        {"the last frame counted undrawn", 31, 1, {0xAB, 0x02}, "not yet decided"},
        {"two state hashes for 300 frames", 32, 1, {2}, "truncated"},
        {"a byte after the end", smallReplayBytes.size(), 0, {0}, "after the end"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = smallReplayBytes;
        bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(c.at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(c.at + c.length));
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(c.at), c.with.begin(), c.with.end());
        std::string error;
        EXPECT_FALSE(decode(bytes, error)) << c.name;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
    }
}

TEST(ReplayCodec, TheLimitsHoldBeforeAnythingIsRead) {
    std::string error;
    EXPECT_FALSE(decode(smallReplayBytes, error, {smallReplayBytes.size() - 1, 1000}));
    EXPECT_NE(error.find("larger"), std::string::npos) << error;
    EXPECT_FALSE(decode(smallReplayBytes, error, {64 * 1024, 299}));
    EXPECT_NE(error.find("frames"), std::string::npos) << error;
    EXPECT_TRUE(decode(smallReplayBytes, error, {smallReplayBytes.size(), 300})) << error;
}

}  // namespace
