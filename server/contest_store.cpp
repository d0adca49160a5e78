#include "server/contest_store.h"

#include <functional>

#include "server/sessions.h"
#include "server/tokens.h"

namespace {

// A hidden or restored score's player gets their best worked out again.
void refreshScoresBest(SqlConnection& connection, const SqlRow& score) {
    if (!score[0]) return;
    refreshBest(connection, sqlInteger(score[0]), static_cast<std::int32_t>(sqlInteger(score[1])), sqlInteger(score[2]));
}

void refreshTotals(SqlConnection& connection, const SqlRow&) { refreshAllTotals(connection); }

void endSessions(SqlConnection& connection, const SqlRow& account) { endSessionsOf(connection, sqlInteger(account[0])); }

void addAudit(SqlConnection& connection, const AuditNote& note, const std::string& action, const std::string& subject,
              std::int64_t now) {
    connection.query("INSERT INTO audit (actor, action, subject, reason, done_at) VALUES ($1, $2, $3, $4, $5)",
                     {note.actor, action, subject, note.reason, now});
}

using AfterChange = std::function<void(SqlConnection&, const SqlRow&)>;

// A change of one row, audited in its transaction, with what `after` does
// with the row it returns (`returning`); false when it changed none.
bool auditedChange(ConnectionPool& pool, const std::string& sql, const std::vector<SqlParam>& params,
                   const AuditNote& note, const std::string& action, const std::string& subject, std::int64_t now,
                   const char* returning = "1", const AfterChange& after = {}) {
    auto connection = pool.borrow();
    SqlTransaction transaction(*connection);
    auto rows = connection->query(sql + " RETURNING " + returning, params);
    if (rows.empty()) return false;
    if (after) after(*connection, rows[0]);
    addAudit(*connection, note, action, subject, now);
    transaction.commit();
    return true;
}

std::vector<GameEntry> gamesOf(const std::vector<SqlRow>& rows) {
    std::vector<GameEntry> games;
    for (const SqlRow& r : rows) games.push_back({static_cast<std::int32_t>(sqlInteger(r[0])), *r[1], sqlInteger(r[2]) != 0});
    return games;
}

constexpr char periodColumns[] = "SELECT id, name, starts_at, ends_at, closed_at FROM periods";

std::vector<Period> periodsOf(const std::vector<SqlRow>& rows) {
    std::vector<Period> periods;
    for (const SqlRow& r : rows) {
        Period p{sqlInteger(r[0]), *r[1], sqlInteger(r[2]), sqlInteger(r[3]), std::nullopt};
        if (r[4]) p.closedAt = sqlInteger(r[4]);
        periods.push_back(std::move(p));
    }
    return periods;
}

std::optional<Period> onePeriod(const std::vector<SqlRow>& rows) {
    auto periods = periodsOf(rows);
    if (periods.empty()) return std::nullopt;
    return periods.front();
}

}  // namespace

std::vector<GameEntry> ContestStore::games() {
    return gamesOf(pool_.borrow()->query("SELECT id, name, is_current FROM games ORDER BY id"));
}

std::vector<GameEntry> ContestStore::currentGames() {
    return gamesOf(pool_.borrow()->query("SELECT id, name, is_current FROM games WHERE is_current = 1 ORDER BY id"));
}

std::optional<GameEntry> ContestStore::game(std::int32_t id) {
    auto games = gamesOf(
        pool_.borrow()->query("SELECT id, name, is_current FROM games WHERE id = $1", {std::int64_t{id}}));
    if (games.empty()) return std::nullopt;
    return games.front();
}

bool ContestStore::addGame(const GameEntry& game, const AuditNote& note, std::int64_t now) {
    return auditedChange(pool_, "INSERT INTO games (id, name, is_current) VALUES ($1, $2, 1) ON CONFLICT (id) DO NOTHING",
                         {std::int64_t{game.id}, game.name}, note, "game add", std::to_string(game.id) + " " + game.name,
                         now, "1", refreshTotals);
}

bool ContestStore::retireGame(std::int32_t id, const AuditNote& note, std::int64_t now) {
    return auditedChange(pool_, "UPDATE games SET is_current = 0 WHERE id = $1 AND is_current = 1", {std::int64_t{id}},
                         note, "game retire", std::to_string(id), now, "1", refreshTotals);
}

std::vector<Placing> ContestStore::topTen(std::int32_t gameId, const ListScope& scope) {
    auto connection = pool_.borrow();
    return ::topTen(*connection, gameId, scope);
}

std::vector<CollectivePlacing> ContestStore::collectiveTopTen(std::int64_t periodId, ListedScores listed) {
    auto connection = pool_.borrow();
    return ::collectiveTopTen(*connection, periodId, listed);
}

std::vector<Period> ContestStore::periods() {
    return periodsOf(pool_.borrow()->query(std::string(periodColumns) + " ORDER BY starts_at"));
}

std::optional<Period> ContestStore::period(const std::string& name) {
    return onePeriod(pool_.borrow()->query(std::string(periodColumns) + " WHERE name = $1", {name}));
}

std::optional<Period> ContestStore::periodAt(std::int64_t time) {
    return onePeriod(pool_.borrow()->query(
        std::string(periodColumns) + " WHERE starts_at <= $1 AND ends_at > $1 ORDER BY starts_at LIMIT 1", {time}));
}

PeriodOpening ContestStore::openPeriod(const std::string& name, std::int64_t startsAt, std::int64_t endsAt,
                                       const AuditNote& note, std::int64_t now) {
    if (endsAt <= startsAt) return PeriodOpening::empty;
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    // Openings side by side take turns, so two cannot both find no overlap.
    if (connection->dialect() == SqlDialect::postgresql) connection->query("LOCK TABLE periods IN EXCLUSIVE MODE");
    if (!connection->query("SELECT 1 FROM periods WHERE name = $1", {name}).empty()) return PeriodOpening::nameTaken;
    if (!connection->query("SELECT 1 FROM periods WHERE starts_at < $2 AND ends_at > $1", {startsAt, endsAt}).empty()) {
        return PeriodOpening::overlaps;
    }
    connection->query("INSERT INTO periods (name, starts_at, ends_at) VALUES ($1, $2, $3)", {name, startsAt, endsAt});
    addAudit(*connection, note, "period open", name + " " + std::to_string(startsAt) + " " + std::to_string(endsAt),
             now);
    transaction.commit();
    return PeriodOpening::opened;
}

std::vector<Period> ContestStore::endedOpenPeriods(std::int64_t now) {
    return periodsOf(pool_.borrow()->query(
        std::string(periodColumns) + " WHERE closed_at IS NULL AND ends_at <= $1 ORDER BY ends_at", {now}));
}

std::optional<std::vector<NewWinner>> ContestStore::closePeriod(std::int64_t periodId, std::int64_t now,
                                                                ListedScores listed,
                                                                const std::optional<AuditNote>& note) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    // The update is the test: of two closes side by side only one finds
    // the period open. A score accepted from now on is after its end.
    auto closed = connection->query(
        "UPDATE periods SET closed_at = $2, ends_at = CASE WHEN ends_at > $2 THEN $2 ELSE ends_at END "
        "WHERE id = $1 AND closed_at IS NULL RETURNING name",
        {periodId, now});
    if (closed.empty()) return std::nullopt;
    std::vector<NewWinner> winners;
    auto games = gamesOf(connection->query("SELECT id, name, is_current FROM games WHERE is_current = 1 ORDER BY id"));
    for (const GameEntry& game : games) {
        std::int32_t place = 0;
        for (const Placing& p : ::topTen(*connection, game.id, {listed, periodId})) {
            NewWinner w{{game.id, ++place, p.nickname, p.score, p.achievedAt, false, ""}, "", newToken()};
            // A banned referrer wins nothing.
            auto referrer = connection->query(
                "SELECT r.nickname FROM accounts a JOIN accounts r ON r.id = a.referrer_id "
                "WHERE a.id = $1 AND r.banned_at IS NULL",
                {p.accountId});
            if (!referrer.empty()) w.winner.referrer = referrer[0][0].value_or("");
            connection->query(
                "INSERT INTO winners (period_id, game_id, place, account_id, nickname, score, achieved_at, "
                "claim_token_hash, referrer_nickname) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, "
                "CASE WHEN $9 = '' THEN NULL ELSE $9 END)",
                {periodId, std::int64_t{game.id}, std::int64_t{place}, p.accountId, p.nickname, std::int64_t{p.score},
                 p.achievedAt, tokenHash(w.claimToken), w.winner.referrer});
            auto email = connection->query("SELECT email FROM accounts WHERE id = $1", {p.accountId});
            if (!email.empty()) w.email = email[0][0].value_or("");
            winners.push_back(std::move(w));
        }
    }
    addAudit(*connection, note.value_or(AuditNote{"zifra-server", "the period ended"}), "period close", *closed[0][0],
             now);
    transaction.commit();
    return winners;
}

std::vector<Winner> ContestStore::winners(std::int64_t periodId) {
    auto rows = pool_.borrow()->query(
        "SELECT game_id, place, nickname, score, achieved_at, claimed_at, referrer_nickname FROM winners "
        "WHERE period_id = $1 ORDER BY game_id, place",
        {periodId});
    std::vector<Winner> winners;
    for (const SqlRow& r : rows) {
        winners.push_back({static_cast<std::int32_t>(sqlInteger(r[0])), static_cast<std::int32_t>(sqlInteger(r[1])),
                           *r[2], static_cast<std::int32_t>(sqlInteger(r[3])), sqlInteger(r[4]), r[5].has_value(),
                           r[6].value_or("")});
    }
    return winners;
}

std::optional<Winner> ContestStore::winnerOfToken(const std::string& hash) {
    auto rows = pool_.borrow()->query(
        "SELECT game_id, place, nickname, score, achieved_at FROM winners "
        "WHERE claim_token_hash = $1 AND claimed_at IS NULL",
        {hash});
    if (rows.empty()) return std::nullopt;
    const SqlRow& r = rows[0];
    return Winner{static_cast<std::int32_t>(sqlInteger(r[0])), static_cast<std::int32_t>(sqlInteger(r[1])), *r[2],
                  static_cast<std::int32_t>(sqlInteger(r[3])), sqlInteger(r[4]), false, ""};
}

bool ContestStore::claimPrize(const std::string& hash, const PrizeClaim& claim, std::int64_t now) {
    auto connection = pool_.borrow();
    auto rows = connection->query(
        "UPDATE winners SET claimed_at = $2, full_name = $3, postal_address = $4, lives_in_sweden = $5 "
        "WHERE claim_token_hash = $1 AND claimed_at IS NULL RETURNING place",
        {hash, now, claim.fullName, claim.postalAddress, std::int64_t{claim.livesInSweden ? 1 : 0}});
    return !rows.empty();
}

std::vector<ScoreEntry> ContestStore::scores(const std::optional<std::string>& emailKey,
                                             std::optional<std::int32_t> gameId) {
    std::string sql =
        "SELECT s.id, a.email, a.nickname, s.game_id, s.score, s.submitted_at, p.name, "
        "CASE WHEN s.replay_id IS NULL THEN 0 ELSE 1 END, s.hidden_reason, s.hidden_at FROM submissions s "
        "JOIN accounts a ON a.id = s.account_id LEFT JOIN periods p ON p.id = s.period_id "
        "WHERE ($1 = '' OR a.email_key = $1) AND ($2 = 0 OR s.game_id = $3) ORDER BY s.submitted_at DESC, s.id DESC";
    auto rows = pool_.borrow()->query(
        sql, {emailKey.value_or(""), std::int64_t{gameId ? 1 : 0}, std::int64_t{gameId.value_or(0)}});
    std::vector<ScoreEntry> scores;
    for (const SqlRow& r : rows) {
        ScoreEntry e{sqlInteger(r[0]), *r[1], *r[2], static_cast<std::int32_t>(sqlInteger(r[3])),
                     static_cast<std::int32_t>(sqlInteger(r[4])), sqlInteger(r[5]), r[6].value_or(""),
                     sqlInteger(r[7]) != 0, std::nullopt};
        if (r[9]) e.hiddenReason = r[8].value_or("");
        scores.push_back(std::move(e));
    }
    return scores;
}

bool ContestStore::hideScore(std::int64_t id, const AuditNote& note, std::int64_t now) {
    return auditedChange(pool_, "UPDATE submissions SET hidden_at = $2, hidden_reason = $3 WHERE id = $1 AND hidden_at IS NULL",
                         {id, now, note.reason}, note, "score hide", std::to_string(id), now,
                         "period_id, game_id, account_id", refreshScoresBest);
}

bool ContestStore::restoreScore(std::int64_t id, const AuditNote& note, std::int64_t now) {
    return auditedChange(pool_,
                         "UPDATE submissions SET hidden_at = NULL, hidden_reason = NULL WHERE id = $1 AND hidden_at IS NOT NULL",
                         {id}, note, "score restore", std::to_string(id), now, "period_id, game_id, account_id",
                         refreshScoresBest);
}

bool ContestStore::banAccount(const std::string& emailKey, const AuditNote& note, std::int64_t now) {
    return auditedChange(pool_,
                         "UPDATE accounts SET banned_at = $2, banned_reason = $3 WHERE email_key = $1 AND banned_at IS NULL",
                         {emailKey, now, note.reason}, note, "account ban", emailKey, now, "id", endSessions);
}

bool ContestStore::unbanAccount(const std::string& emailKey, const AuditNote& note, std::int64_t now) {
    return auditedChange(
        pool_, "UPDATE accounts SET banned_at = NULL, banned_reason = NULL WHERE email_key = $1 AND banned_at IS NOT NULL",
        {emailKey}, note, "account unban", emailKey, now);
}

void ContestStore::recordAction(const AuditNote& note, const std::string& action, const std::string& subject,
                                std::int64_t now) {
    addAudit(*pool_.borrow(), note, action, subject, now);
}

std::vector<AuditEntry> ContestStore::audit() {
    auto rows = pool_.borrow()->query("SELECT actor, action, subject, reason, done_at FROM audit ORDER BY id");
    std::vector<AuditEntry> entries;
    for (const SqlRow& r : rows) entries.push_back({*r[0], *r[1], *r[2], *r[3], sqlInteger(r[4])});
    return entries;
}
