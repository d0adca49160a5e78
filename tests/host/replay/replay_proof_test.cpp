// Replays proven through the rules: the recorded games prove their own
// results, however their frames were drawn and on whatever thread; forged
// ones are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <future>
#include <vector>

#include "app/program.h"
#include "game/replay_check.h"
#include "game/world.h"
#include "recorded_games.h"

namespace {

const PlayedGame& played(int index) {
    static const std::vector<PlayedGame> games = [] {
        std::vector<PlayedGame> all;
        for (const RecordedGame& game : recordedGames) all.push_back(playRecordedGame(game));
        return all;
    }();
    return games[static_cast<std::size_t>(index)];
}

ReplayVerdict decodeAndVerify(const std::vector<std::uint8_t>& bytes) {
    std::string error;
    std::optional<Replay> replay = decodeReplay(bytes, {}, error);
    if (!replay) return {false, error};
    return verifyReplay(*replay);
}

TEST(ReplayProof, TheRecordedGamesProveTheirOwnResults) {
    for (int i = 0; i < 3; ++i) {
        const PlayedGame& game = played(i);
        SCOPED_TRACE(recordedGames[i].name);
        EXPECT_EQ(game.replay.stateHashes.size(), game.replay.frames / 250);
        ReplayVerdict verdict = decodeAndVerify(encodeReplay(game.replay));
        ASSERT_TRUE(verdict.proven) << verdict.error;
        EXPECT_EQ(verdict.score, game.score);
        EXPECT_EQ(verdict.level, game.level);
        EXPECT_EQ(verdict.gameOver, game.gameOver);
        EXPECT_EQ(verdict.frames, game.replay.frames);
        EXPECT_EQ(game.replay.ticket, "golden");
    }
    EXPECT_GT(played(1).score, 0) << "a game that scores";
    EXPECT_TRUE(played(0).gameOver) << "a game that ends";
}

// Drawing counts the Servobot's protection down, so the frames a late
// machine did not draw are part of the game.
TEST(ReplayProof, FramesNotDrawnAreRecordedAndPlayedAsSuch) {
    PlayedGame late = playRecordedGame(recordedGames[1], 7);
    ASSERT_GT(late.replay.undrawnFrames.size(), 100u);
    ReplayVerdict verdict = verifyReplay(late.replay);
    ASSERT_TRUE(verdict.proven) << verdict.error;
    EXPECT_EQ(verdict.score, late.score);

    Replay allDrawn = late.replay;
    allDrawn.undrawnFrames = {0};
    EXPECT_FALSE(verifyReplay(allDrawn).proven);
}

TEST(ReplayProof, ForgeriesAreRefused) {
    const Replay& idle = played(0).replay;
    const Replay& play = played(1).replay;
    const Replay& over = played(2).replay;
    ASSERT_GE(play.frames, 750u);
    ASSERT_GE(play.changes.size(), 3u);
    std::vector<std::uint8_t> playBytes = encodeReplay(play);
    std::vector<std::uint8_t> overBytes = encodeReplay(over);
    // The header is everything before the ticket's length, which is 6 here.
    constexpr std::size_t headerSize = 20;

    auto edited = [](Replay replay, const std::function<void(Replay&)>& edit) {
        edit(replay);
        return encodeReplay(replay);
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* error;
    };
    std::vector<Case> cases = {
        {"a frame more than the game lasted", edited(idle, [](Replay& r) { r.frames += 1; }), "ended at frame"},
        {"fire held a frame longer", edited(play, [](Replay& r) { r.changes[2].frame += 1; }), "state hash differs"},
        {"Left for Right",
         edited(play,
                [](Replay& r) {
                    r.changes[1].keys = {true, false, false};
                }),
         "state hash differs"},
        {"another seed", edited(play, [](Replay& r) { r.seed += 1; }), "state hash differs at frame 250"},
        {"the hash after frame 500 edited", edited(play, [](Replay& r) { r.stateHashes[1] ^= 1; }),
         "state hash differs at frame 500"},
        {"another rules version", edited(play, [](Replay& r) { r.rulesVersion += 1; }), "rules version 2"},
        {"an unknown format version", edited(play, [](Replay& r) { r.formatVersion = 9; }), "unknown format version 9"},
        {"cut short", std::vector<std::uint8_t>(playBytes.begin(), playBytes.end() - 1), "truncated"},
        {"padded",
         [&] {
             auto bytes = playBytes;
             bytes.push_back(0);
             return bytes;
         }(),
         "after the end"},
        {"the header of one game on the body of another",
         [&] {
             auto bytes = playBytes;
             std::copy_n(overBytes.begin(), headerSize, bytes.begin());
             return bytes;
         }(),
         "state hash differs at frame 250"},
    };
    for (const Case& c : cases) {
        ReplayVerdict verdict = decodeAndVerify(c.bytes);
        EXPECT_FALSE(verdict.proven) << c.name;
        EXPECT_NE(verdict.error.find(c.error), std::string::npos) << c.name << ": " << verdict.error;
    }
}

TEST(ReplayProof, ReplaysProvenOnSeveralThreadsAtOnceGetTheVerdictsOfOneThread) {
    std::vector<std::future<ReplayVerdict>> running;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 3; ++i) {
            running.push_back(std::async(std::launch::async, [i] { return verifyReplay(played(i).replay); }));
        }
    }
    for (std::size_t k = 0; k < running.size(); ++k) {
        ReplayVerdict verdict = running[k].get();
        EXPECT_TRUE(verdict.proven) << verdict.error;
        EXPECT_EQ(verdict.score, played(static_cast<int>(k % 3)).score);
    }
}

TEST(ReplayProof, TheProgramKeepsTheReplayOfTheWorldOfItsBestScore) {
    std::uint32_t now = 0;
    Program program(now, [] { return GameSeed{1000, "best"}; });
    EXPECT_EQ(program.bestScoreReplay(), nullptr);
    auto frame = [&](std::vector<KeyEvent> keys) {
        for (;;) {
            Step step = program.step(now, keys);
            keys.clear();
            if (step.frameRan) return;
            if (step.request && std::holds_alternative<WaitUntil>(*step.request)) {
                now = std::get<WaitUntil>(*step.request).dueTime;
            }
        }
    };
    frame({{GameKey::fire, true}});
    while (program.bestScore.shown() == 0) frame({});
    frame({{GameKey::fire, false}, {GameKey::newGame, true}});
    frame({{GameKey::newGame, false}});
    frame({});

    const Replay* best = program.bestScoreReplay();
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(best->ticket, "best");
    EXPECT_NE(best, &program.theSession->world->replay()) << "the replay of the world before";
    ReplayVerdict verdict = verifyReplay(*best);
    ASSERT_TRUE(verdict.proven) << verdict.error;
    EXPECT_EQ(verdict.score, program.bestScore.shown());
}

}  // namespace
