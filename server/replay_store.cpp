#include "server/replay_store.h"

namespace {

const char* statusName(ReplayStatus status) {
    switch (status) {
        case ReplayStatus::pending: return "pending";
        case ReplayStatus::verified: return "verified";
        case ReplayStatus::refused: return "refused";
    }
    return "pending";
}

ReplayStatus statusNamed(const std::string& name) {
    for (ReplayStatus status : {ReplayStatus::pending, ReplayStatus::verified, ReplayStatus::refused}) {
        if (name == statusName(status)) return status;
    }
    throw SqlError("unknown replay status " + name);
}

}  // namespace

void ReplayStore::addTicket(const NewTicket& t) {
    auto connection = pool_.borrow();
    connection->query(
        "INSERT INTO tickets (ticket, account_id, game_id, seed, issued_at_ms) VALUES ($1, $2, $3, $4, $5)",
        {t.ticket, t.accountId, std::int64_t{t.gameId}, std::int64_t{t.seed}, t.issuedAtMs});
}

std::optional<Ticket> ReplayStore::ticket(const std::string& ticket) {
    auto connection = pool_.borrow();
    auto rows = connection->query(
        "SELECT id, account_id, game_id, seed, issued_at_ms, used_at_ms FROM tickets WHERE ticket = $1", {ticket});
    if (rows.empty()) return std::nullopt;
    const SqlRow& r = rows[0];
    return Ticket{sqlInteger(r[0]), sqlInteger(r[1]), static_cast<std::int32_t>(sqlInteger(r[2])),
                  static_cast<std::uint32_t>(sqlInteger(r[3])), sqlInteger(r[4]), r[5].has_value()};
}

std::optional<std::int64_t> ReplayStore::queueReplay(std::int64_t ticketId, const std::vector<std::uint8_t>& replay,
                                                     std::int64_t usedAtMs, std::int64_t submittedAt) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    // The update is the test: of two sends of one ticket side by side only
    // one finds it unused.
    auto used = connection->query(
        "UPDATE tickets SET used_at_ms = $2 WHERE id = $1 AND used_at_ms IS NULL RETURNING id", {ticketId, usedAtMs});
    if (used.empty()) return std::nullopt;
    auto rows = connection->query(
        "INSERT INTO replays (ticket_id, replay, status, submitted_at) VALUES ($1, $2, 'pending', $3) RETURNING id",
        {ticketId, SqlBytes{replay}, submittedAt});
    transaction.commit();
    return sqlInteger(rows[0][0]);
}

std::optional<ClaimedReplay> ReplayStore::claimReplay(std::int64_t nowMs, std::int64_t leaseMs) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    std::string pick =
        "SELECT id FROM replays WHERE status = 'pending' AND claimed_until_ms < $1 ORDER BY claimed_until_ms, id "
        "LIMIT 1";
    // SQLite's writers take turns for the whole transaction already.
    if (connection->dialect() == SqlDialect::postgresql) pick += " FOR UPDATE SKIP LOCKED";
    auto rows = connection->query(
        "UPDATE replays SET claimed_until_ms = $2 WHERE id = (" + pick + ") RETURNING id, replay", {nowMs, nowMs + leaseMs});
    if (rows.empty()) return std::nullopt;
    transaction.commit();
    return ClaimedReplay{sqlInteger(rows[0][0]), sqlBytes(rows[0][1])};
}

void ReplayStore::recordVerified(std::int64_t id, const ProvenScore& p, std::int64_t decidedAt) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    auto rows = connection->query(
        "UPDATE replays SET status = 'verified', decided_at = $2 WHERE id = $1 AND status = 'pending' "
        "RETURNING ticket_id, submitted_at",
        {id, decidedAt});
    if (rows.empty()) return;
    connection->query(
        "INSERT INTO submissions (account_id, game_id, score, play_time_ms, speed_count, processor, build_checksum, "
        "build_size, submitted_at, replay_id) "
        "SELECT account_id, game_id, $2, $3, 0, '', $4, $5, $6, $7 FROM tickets WHERE id = $1",
        {sqlInteger(rows[0][0]), std::int64_t{p.score}, p.playTimeMs, p.buildChecksum, p.buildSize,
         sqlInteger(rows[0][1]), id});
    transaction.commit();
}

void ReplayStore::recordRefused(std::int64_t id, const std::string& reason, std::int64_t decidedAt) {
    auto connection = pool_.borrow();
    connection->query(
        "UPDATE replays SET status = 'refused', reason = $2, decided_at = $3 WHERE id = $1 AND status = 'pending'",
        {id, reason, decidedAt});
}

std::optional<ReplayState> ReplayStore::state(std::int64_t id) {
    auto connection = pool_.borrow();
    auto rows = connection->query(
        "SELECT r.status, s.score, r.reason FROM replays r LEFT JOIN submissions s ON s.replay_id = r.id "
        "WHERE r.id = $1",
        {id});
    if (rows.empty()) return std::nullopt;
    return ReplayState{statusNamed(*rows[0][0]), static_cast<std::int32_t>(sqlInteger(rows[0][1])),
                       rows[0][2].value_or("")};
}

std::optional<std::vector<std::uint8_t>> ReplayStore::verifiedReplay(std::int64_t id) {
    auto connection = pool_.borrow();
    auto rows = connection->query("SELECT replay FROM replays WHERE id = $1 AND status = 'verified'", {id});
    if (rows.empty()) return std::nullopt;
    return sqlBytes(rows[0][0]);
}
