#pragma once
// Scores the service proves by itself: it issues a ticket with a seed of its
// choosing, takes the replay of a game played on it, and later plays the
// replay again through the game's own rules. The score it stores is the one
// it derived; nothing the client claims is taken as the result.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "server/known_builds.h"
#include "server/outcome.h"
#include "server/replay_store.h"
#include "server/store.h"

// A replay may hold at most this many more frames of 40 ms than the time
// between its ticket and its arrival: the clocks of servers side by side
// and the rounding of frames to milliseconds.
inline constexpr std::int64_t frameTimeSlackMs = 2000;
// A worker's claim on a replay runs out after this long; a replay claimed
// by a server that died is taken again after it.
inline constexpr std::int64_t claimLeaseMs = 60 * 1000;

struct IssuedTicket {
    std::string ticket;  // 32 lower-case hex digits, 128 random bits
    std::uint32_t seed = 0;
    std::int32_t gameId = 0;
};

// The answer to a replay sent: queued under an id, or refused at once.
struct ReplayReceipt {
    std::optional<std::int64_t> id;
    enum class Refusal { none, unreadable, ticket, ticketUsed, rules } refusal = Refusal::none;
    std::string reason;  // in English, for the sender's log
};

// What a replay sent comes to: accepted into the queue, or why not.
Outcome outcomeOf(const ReplayReceipt& receipt);

struct ProofSettings {
    std::int32_t gameId = 4;  // the game whose tickets are issued
    std::optional<KnownBuilds> builds;  // when given, only these builds' replays are taken
    std::function<std::int64_t()> clock;  // calendar seconds; the system's when empty
};

class ScoreProofs {
public:
    ScoreProofs(ConnectionPool& pool, ProofSettings settings);

    // A new ticket for the account, whose password has been checked.
    // Throws SqlError.
    IssuedTicket issueTicket(std::int64_t accountId);

    // Refuses what can be refused without playing; otherwise uses the
    // ticket up and queues the replay. Throws SqlError.
    ReplayReceipt receive(std::span<const std::uint8_t> bytes);

    std::optional<ReplayState> state(std::int64_t id) { return replays_.state(id); }
    std::optional<std::vector<std::uint8_t>> verifiedReplay(std::int64_t id) { return replays_.verifiedReplay(id); }

    // Claims one replay waiting in the queue and decides it; false when
    // none waits. Throws SqlError.
    bool verifyNext();

    // Called after each replay queued, to wake the workers.
    void onQueued(std::function<void()> wake) { queued_ = std::move(wake); }

private:
    std::int64_t nowMs() const;

    ProofSettings settings_;
    ReplayStore replays_;
    std::function<void()> queued_;
};
