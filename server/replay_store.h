#pragma once
// What the service keeps of proven scores: the tickets it issues, and the
// queue of replays sent on them, each pending until a worker has played it
// again and stored it verified (a submission with its replay) or refused.
// Times in milliseconds are calendar milliseconds; the others seconds.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/connection_pool.h"

struct Ticket {
    std::int64_t id = 0;
    std::int64_t accountId = 0;
    std::int32_t gameId = 0;
    std::uint32_t seed = 0;
    std::int64_t issuedAtMs = 0;
    bool used = false;
};

struct NewTicket {
    std::string ticket;  // 32 lower-case hex digits
    std::int64_t accountId = 0;
    std::int32_t gameId = 0;
    std::uint32_t seed = 0;
    std::int64_t issuedAtMs = 0;
};

struct ClaimedReplay {
    std::int64_t id = 0;
    std::vector<std::uint8_t> replay;
};

enum class ReplayStatus { pending, verified, refused };

struct ReplayState {
    ReplayStatus status = ReplayStatus::pending;
    std::int32_t score = 0;  // when verified
    std::string reason;  // when refused
};

// What a verification found, as stored with a verified score.
struct ProvenScore {
    std::int32_t score = 0;
    std::int64_t playTimeMs = 0;
    std::int64_t buildChecksum = 0, buildSize = 0;
};

class ReplayStore {
public:
    explicit ReplayStore(ConnectionPool& pool) : pool_(pool) {}

    void addTicket(const NewTicket& ticket);
    std::optional<Ticket> ticket(const std::string& ticket);

    // Uses the ticket up and queues the replay as pending, in one
    // transaction; nothing when the ticket was used in the meantime.
    std::optional<std::int64_t> queueReplay(std::int64_t ticketId, const std::vector<std::uint8_t>& replay,
                                            std::int64_t usedAtMs, std::int64_t submittedAt);

    // Claims the oldest pending replay that no one holds, or whose claim
    // ran out (its worker died), until `nowMs + leaseMs`. On PostgreSQL
    // servers side by side skip each other's claims instead of waiting.
    std::optional<ClaimedReplay> claimReplay(std::int64_t nowMs, std::int64_t leaseMs);

    // Decides a pending replay: verified, stored as a listed submission of
    // its ticket's player, or refused with the reason. A replay that another
    // worker decided first is left as it is.
    void recordVerified(std::int64_t id, const ProvenScore& proven, std::int64_t decidedAt);
    void recordRefused(std::int64_t id, const std::string& reason, std::int64_t decidedAt);

    std::optional<ReplayState> state(std::int64_t id);
    // The bytes of a verified replay.
    std::optional<std::vector<std::uint8_t>> verifiedReplay(std::int64_t id);

private:
    ConnectionPool& pool_;
};
