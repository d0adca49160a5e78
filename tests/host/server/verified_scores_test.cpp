// Scores the service proves itself: tickets, replays of games played on
// them, what is refused at once and what only playing again can refuse, and
// the queue in the database that outlives the server that took a replay.
#include <algorithm>
#include <atomic>
#include <functional>
#include <regex>
#include <thread>

#include "game/replay.h"
#include "recorded_game.h"
#include "server/replay_store.h"
#include "service_fixture.h"

namespace {

// Twelve seconds of play with the space bar held: a state hash, and no
// more of zifra-sim's time than that.
constexpr GoldenGame shortGame{"over.keys", 300};

class VerifiedScores : public ServiceFixture {
protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        // zifra-sim is no build of the game: its replays name none.
        settings.builds.reset();
        startService();
        signUp("anna@example.se", "Anna", "hemligt1");
    }

    TicketRequest ask(const std::string& email, const std::string& password, const std::string& address = {}) {
        return service->requestTicket(email, password, address);
    }

    IssuedTicket ticket() {
        TicketRequest asked = ask("anna@example.se", "hemligt1");
        EXPECT_EQ(asked.outcome, TicketRequest::Outcome::issued);
        return asked.ticket;
    }

    // A game played on a new ticket, then time for it to have been played.
    RecordedGame playOnTicket(const GoldenGame& game = shortGame) {
        IssuedTicket issued = ticket();
        RecordedGame recorded = recordGame(game.keys, game.frames, issued.seed, issued.ticket);
        now += game.frames * 40 / 1000 + 1;
        return recorded;
    }

    ReplayReceipt send(const std::vector<std::uint8_t>& bytes) { return service->proofs().receive(bytes); }

    // Verifies what waits in the queue; the state of replay `id` after.
    ReplayState verdict(std::int64_t id) {
        while (service->proofs().verifyNext()) {
        }
        return service->proofs().state(id).value_or(ReplayState{});
    }

    static Replay decoded(const std::vector<std::uint8_t>& bytes) {
        std::string error;
        auto replay = decodeReplay(bytes, ReplayLimits{}, error);
        EXPECT_TRUE(replay) << error;
        return replay.value_or(Replay{});
    }
};

TEST_F(VerifiedScores, ATicketIsIssuedForTheRightPasswordOnly) {
    IssuedTicket first = ticket();
    EXPECT_TRUE(std::regex_match(first.ticket, std::regex("[0-9a-f]{32}"))) << first.ticket;
    EXPECT_EQ(first.gameId, 4);
    EXPECT_NE(ticket().ticket, first.ticket);
    using Outcome = TicketRequest::Outcome;
    EXPECT_EQ(ask(" ANNA@example.se ", "hemligt1").outcome, Outcome::issued);
    EXPECT_EQ(ask("anna@example.se", "hemligt2").outcome, Outcome::wrongLogin);
    EXPECT_EQ(ask("berit@example.se", "hemligt1").outcome, Outcome::wrongLogin);
    EXPECT_EQ(ask("anna@example.se", "").outcome, Outcome::wrongLogin);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tickets"), 3);
    auto row = pool->borrow()->query("SELECT seed, issued_at_ms, used_at_ms FROM tickets WHERE ticket = $1",
                                     {first.ticket});
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(sqlInteger(row[0][0]), std::int64_t{first.seed});
    EXPECT_EQ(sqlInteger(row[0][1]), now * 1000);
    EXPECT_FALSE(row[0][2]);
}

// The ticket's password check is the score form's: one count of wrong
// passwords, the same wait, and no ticket before the address is confirmed.
TEST_F(VerifiedScores, TicketsAreHeldBackAsTheScoreFormIs) {
    using Outcome = TicketRequest::Outcome;
    const std::string attacker = "192.0.2.66";
    EXPECT_EQ(service->submit(formBody(gameForm("anna@example.se", "fel", 1)), attacker).code, AnswerCode::wrongPassword);
    EXPECT_EQ(ask("anna@example.se", "fel", attacker).outcome, Outcome::wrongLogin);
    EXPECT_EQ(ask("anna@example.se", "fel", attacker).outcome, Outcome::wrongLogin);
    TicketRequest held = ask("anna@example.se", "hemligt1", attacker);
    EXPECT_EQ(held.outcome, Outcome::backOff) << "the fourth try from that address waits, right or wrong";
    EXPECT_EQ(held.wait, 1);
    EXPECT_EQ(service->submit(formBody(gameForm("anna@example.se", "hemligt1", 1)), attacker).code,
              AnswerCode::unavailable);
    now += 1;
    EXPECT_EQ(ask("anna@example.se", "hemligt1", attacker).outcome, Outcome::issued);

    ASSERT_TRUE(service->signUp({"berit@example.se", "Berit", "hemligt1", "hemligt1"}).faults.empty());
    EXPECT_EQ(ask("berit@example.se", "hemligt1").outcome, Outcome::unconfirmed);
    EXPECT_EQ(ask("berit@example.se", "fel").outcome, Outcome::wrongLogin) << "the address is not told before the password";
    EXPECT_EQ(count("SELECT COUNT(*) FROM tickets"), 1);
}

TEST_F(VerifiedScores, GenuineGamesAreVerifiedWithTheScoreTheGameShowed) {
    std::int64_t listed = 0;
    for (const GoldenGame& game : goldenGames) {
        SCOPED_TRACE(game.keys);
        RecordedGame recorded = playOnTicket(game);
        ReplayReceipt receipt = send(recorded.replay);
        ASSERT_TRUE(receipt.id) << receipt.reason;
        EXPECT_EQ(service->proofs().state(*receipt.id)->status, ReplayStatus::pending);
        ReplayState state = verdict(*receipt.id);
        EXPECT_EQ(state.status, ReplayStatus::verified) << state.reason;
        EXPECT_EQ(state.score, recorded.shownScore);
        EXPECT_EQ(service->proofs().verifiedReplay(*receipt.id), recorded.replay);
        EXPECT_EQ(count("SELECT COUNT(*) FROM submissions WHERE replay_id IS NOT NULL"), ++listed);
        auto row = pool->borrow()->query("SELECT score, play_time_ms FROM submissions WHERE replay_id = $1",
                                         {*receipt.id});
        ASSERT_EQ(row.size(), 1u);
        EXPECT_EQ(sqlInteger(row[0][0]), recorded.shownScore);
        EXPECT_EQ(sqlInteger(row[0][1]), std::int64_t{decoded(recorded.replay).frames} * 40);
    }
    auto list = service->topTen(4);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0].verified);
}

TEST_F(VerifiedScores, ForgeriesAreRefusedEachWithItsReason) {
    settings.builds = KnownBuilds::fromText("7 8\n", "test");
    startService();
    struct Case {
        const char* what;
        // Makes the bytes to send from a genuine replay on a fresh ticket.
        std::function<std::vector<std::uint8_t>(Replay&)> forge;
        bool atOnce;  // refused on arrival, or only by playing it again
        const char* reason;
    };
    auto edited = [](std::function<void(Replay&)> edit) {
        return [edit](Replay& r) {
            edit(r);
            return encodeReplay(r);
        };
    };
    auto bytes = [](std::function<void(std::vector<std::uint8_t>&)> edit) {
        return [edit](Replay& r) {
            auto b = encodeReplay(r);
            edit(b);
            return b;
        };
    };
    RecordedGame other = playOnTicket();
    const Replay otherReplay = decoded(other.replay);
    const Case cases[] = {
        {"a frame count past its state hashes", edited([](Replay& r) { r.frames += 250; }), true, "cannot be read"},
        {"a move that was not made", edited([](Replay& r) { r.changes.at(0).keys.left = !r.changes[0].keys.left; }),
         false, "state hash differs at frame 250"},
        {"a key press moved a frame", edited([](Replay& r) { r.changes.back().frame += 1; }), false,
         "state hash differs at frame 250"},
        {"a state hash edited", edited([](Replay& r) { r.stateHashes.at(0) ^= 1; }), false,
         "state hash differs at frame 250"},
        {"spliced: its keys with another game's state hashes", edited([&](Replay& r) {
             r.stateHashes = otherReplay.stateHashes;
             r.stateHashes.resize(r.frames / 250);
         }),
         false, "state hash differs at frame 250"},
        {"an unknown build", edited([](Replay& r) { r.buildChecksum = 9; }), true, "build"},
        {"another rules version", edited([](Replay& r) { r.rulesVersion += 1; }), true, "rules version"},
        {"another format version", edited([](Replay& r) { r.formatVersion += 1; }), true, "cannot be read"},
        {"a seed never issued", edited([](Replay& r) { r.seed ^= 1; }), true, "seed"},
        {"a ticket never issued", edited([](Replay& r) { r.ticket = std::string(32, '0'); }), true, "never issued"},
        {"no ticket", edited([](Replay& r) { r.ticket.clear(); }), true, "never issued"},
        {"truncated", bytes([](std::vector<std::uint8_t>& b) { b.pop_back(); }), true, "cannot be read"},
        {"padded", bytes([](std::vector<std::uint8_t>& b) { b.push_back(0); }), true, "cannot be read"},
        {"empty", bytes([](std::vector<std::uint8_t>& b) { b.clear(); }), true, "cannot be read"},
        {"past the byte cap", bytes([](std::vector<std::uint8_t>& b) { b.resize(ReplayLimits{}.maxBytes + 1); }), true,
         "cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedGame recorded = playOnTicket();
        Replay replay = decoded(recorded.replay);
        replay.buildChecksum = 7, replay.buildSize = 8;
        std::vector<std::uint8_t> forged = c.forge(replay);
        ReplayReceipt receipt = send(forged);
        if (c.atOnce) {
            EXPECT_FALSE(receipt.id);
            EXPECT_NE(receipt.reason.find(c.reason), std::string::npos) << receipt.reason;
            continue;
        }
        ASSERT_TRUE(receipt.id) << receipt.reason;
        ReplayState state = verdict(*receipt.id);
        EXPECT_EQ(state.status, ReplayStatus::refused);
        EXPECT_NE(state.reason.find(c.reason), std::string::npos) << state.reason;
        EXPECT_FALSE(service->proofs().verifiedReplay(*receipt.id));
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM submissions"), 0);
    EXPECT_TRUE(service->topTen(4).empty());
}

TEST_F(VerifiedScores, ATicketIsUsedOnce) {
    RecordedGame recorded = playOnTicket();
    ReplayReceipt first = send(recorded.replay);
    ASSERT_TRUE(first.id) << first.reason;
    for (int again = 0; again < 2; ++again) {
        ReplayReceipt repeat = send(recorded.replay);
        EXPECT_FALSE(repeat.id);
        EXPECT_EQ(repeat.refusal, ReplayReceipt::Refusal::ticketUsed);
    }
    EXPECT_EQ(verdict(*first.id).status, ReplayStatus::verified);
    EXPECT_EQ(send(recorded.replay).refusal, ReplayReceipt::Refusal::ticketUsed);
    EXPECT_EQ(count("SELECT COUNT(*) FROM replays"), 1);
}

TEST_F(VerifiedScores, AGameLongerThanTheTimeSinceItsTicketIsRefused) {
    IssuedTicket issued = ticket();
    const GoldenGame& game = shortGame;
    RecordedGame recorded = recordGame(game.keys, game.frames, issued.seed, issued.ticket);
    std::int64_t playedMs = std::int64_t{decoded(recorded.replay).frames} * 40;
    // Whole seconds pass on the test's clock: one short of the game's time
    // and the slack is too soon.
    now += (playedMs - frameTimeSlackMs) / 1000 - 1;
    ReplayReceipt early = send(recorded.replay);
    EXPECT_FALSE(early.id);
    EXPECT_NE(early.reason.find("time since the ticket"), std::string::npos) << early.reason;
    // Refused unused: sent again in time, it is taken.
    now += 2;
    EXPECT_TRUE(send(recorded.replay).id);
}

TEST_F(VerifiedScores, AReplayLeftInTheQueueIsVerifiedByTheNextServer) {
    RecordedGame first = playOnTicket(), second = playOnTicket();
    // A server that took the first, and died while verifying it; the second
    // came in after.
    ReplayReceipt claimed = send(first.replay);
    ASSERT_TRUE(claimed.id) << claimed.reason;
    ASSERT_EQ(ReplayStore(*pool).claimReplay(now * 1000, claimLeaseMs).value_or(ClaimedReplay{}).id, *claimed.id);
    ReplayReceipt waiting = send(second.replay);
    ASSERT_TRUE(waiting.id) << waiting.reason;

    // The next server; its pool and service are new, the database is not.
    service.reset();
    pool = std::make_unique<ConnectionPool>(databaseUrl, 4);
    startService();
    EXPECT_TRUE(service->proofs().verifyNext());
    EXPECT_FALSE(service->proofs().verifyNext());
    EXPECT_EQ(service->proofs().state(*waiting.id)->status, ReplayStatus::verified);
    EXPECT_EQ(service->proofs().state(*claimed.id)->status, ReplayStatus::pending);
    // The dead server's claim runs out.
    now += claimLeaseMs / 1000 + 1;
    EXPECT_EQ(verdict(*claimed.id).status, ReplayStatus::verified);
}

TEST_F(VerifiedScores, ServersSideBySideShareTheQueueAndDecideEachReplayOnce) {
    std::vector<std::int64_t> ids;
    for (int game = 0; game < 8; ++game) {
        ReplayReceipt receipt = send(playOnTicket().replay);
        ASSERT_TRUE(receipt.id) << receipt.reason;
        ids.push_back(*receipt.id);
    }
    // Two more servers on the same database, each with two workers.
    std::vector<std::unique_ptr<ConnectionPool>> pools;
    std::vector<std::unique_ptr<CompetitionService>> servers;
    for (int s = 0; s < 2; ++s) {
        pools.push_back(std::make_unique<ConnectionPool>(databaseUrl, 4));
        servers.push_back(std::make_unique<CompetitionService>(*pools.back(), settings));
    }
    std::atomic<int> decided = 0;
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&, w] {
            while (servers[w % 2]->proofs().verifyNext()) ++decided;
        });
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(decided, 8);
    for (std::int64_t id : ids) EXPECT_EQ(service->proofs().state(id)->status, ReplayStatus::verified) << id;
    EXPECT_EQ(count("SELECT COUNT(*) FROM submissions WHERE replay_id IS NOT NULL"), 8);
}

TEST_F(VerifiedScores, VerifiedOnlyListsTakeTheGamesFormButDoNotListIt) {
    signUp("berit@example.se", "Berit", "hemligt1");
    settings.verifiedOnly = true;
    startService();
    EXPECT_EQ(submit(gameForm("berit@example.se", "hemligt1", 2000000, 86400000)).code, AnswerCode::accepted);
    EXPECT_EQ(count("SELECT COUNT(*) FROM submissions"), 1);
    EXPECT_TRUE(service->topTen(4).empty());

    RecordedGame recorded = playOnTicket();
    ReplayReceipt receipt = send(recorded.replay);
    ASSERT_TRUE(receipt.id) << receipt.reason;
    ASSERT_EQ(verdict(*receipt.id).status, ReplayStatus::verified);
    auto list = service->topTen(4);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].nickname, "Anna");
    EXPECT_TRUE(list[0].verified);
}

}  // namespace
