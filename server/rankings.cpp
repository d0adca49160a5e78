#include "server/rankings.h"

#include <algorithm>

std::string periodAtTime(const std::string& parameter) {
    // Periods never overlap (ContestStore::openPeriod); the order only
    // keeps the statement valid should they ever.
    return "(SELECT id FROM periods WHERE starts_at <= " + parameter + " AND ends_at > " + parameter +
           " ORDER BY starts_at LIMIT 1)";
}

// The list walks the ranking index from the top and takes each player's
// first row, which is their best. A page leaves out the players already
// placed, so every page places at least one more, and a player with many
// scores near the top costs one page, not a scan of them all.
std::vector<Placing> topTen(SqlConnection& connection, std::int32_t gameId, const ListScope& scope) {
    std::vector<Placing> list;
    std::vector<SqlParam> placed;
    while (list.size() < listLength) {
        // The page is taken from the index alone before the names are
        // joined to it, so no planner is tempted to sort the whole table.
        // Banned players are few; their ids are one small set.
        std::vector<SqlParam> params = {std::int64_t{gameId}, std::int64_t(listLength - list.size())};
        std::string sql =
            "SELECT s.account_id, a.nickname, s.score, s.submitted_at, s.proven FROM (SELECT account_id, score, "
            "submitted_at, id, CASE WHEN replay_id IS NULL THEN 0 ELSE 1 END AS proven FROM submissions "
            "WHERE game_id = $1 AND hidden_at IS NULL "
            "AND account_id NOT IN (SELECT id FROM accounts WHERE banned_at IS NOT NULL)";
        if (scope.periodId) {
            params.emplace_back(*scope.periodId);
            sql += " AND period_id = $3";
        }
        if (scope.listed == ListedScores::verifiedOnly) sql += " AND replay_id IS NOT NULL";
        if (!placed.empty()) {
            sql += " AND account_id NOT IN (";
            for (std::size_t i = 0; i < placed.size(); ++i) sql += (i ? ", $" : "$") + std::to_string(params.size() + i + 1);
            sql += ")";
        }
        sql += " ORDER BY score DESC, submitted_at, id LIMIT $2) s JOIN accounts a ON a.id = s.account_id "
               "ORDER BY s.score DESC, s.submitted_at, s.id";
        params.insert(params.end(), placed.begin(), placed.end());
        auto rows = connection.query(sql, params);
        std::size_t before = list.size();
        for (const SqlRow& row : rows) {
            std::int64_t account = sqlInteger(row[0]);
            bool seen = std::any_of(placed.begin() + static_cast<std::ptrdiff_t>(before), placed.end(),
                                    [&](const SqlParam& p) { return std::get<std::int64_t>(p) == account; });
            if (seen) continue;
            placed.emplace_back(account);
            list.push_back({account, *row[1], static_cast<std::int32_t>(sqlInteger(row[2])), sqlInteger(row[3]),
                            sqlInteger(row[4]) != 0});
        }
        if (rows.size() < listLength - before) break;
    }
    return list;
}

namespace {

// Each player's best per current game is the first row of their scores in
// it, best first and earliest first; the totals are summed from those.
std::vector<CollectivePlacing> summedCollective(SqlConnection& connection, std::int64_t periodId) {
    std::string sql =
        "SELECT b.account_id, a.nickname, SUM(b.score), MAX(b.submitted_at) FROM ("
        "SELECT s.account_id, s.score, s.submitted_at, ROW_NUMBER() OVER (PARTITION BY s.account_id, s.game_id "
        "ORDER BY s.score DESC, s.submitted_at, s.id) AS n FROM submissions s JOIN games g ON g.id = s.game_id "
        "WHERE s.period_id = $1 AND s.hidden_at IS NULL AND g.is_current = 1 AND s.replay_id IS NOT NULL"
        ") b JOIN accounts a ON a.id = b.account_id WHERE b.n = 1 AND a.banned_at IS NULL "
        "GROUP BY b.account_id, a.nickname HAVING COUNT(*) = (SELECT COUNT(*) FROM games WHERE is_current = 1) "
        "ORDER BY SUM(b.score) DESC, MAX(b.submitted_at), b.account_id LIMIT $2";
    std::vector<CollectivePlacing> list;
    for (const SqlRow& r : connection.query(sql, {periodId, std::int64_t(listLength)})) {
        list.push_back({sqlInteger(r[0]), *r[1], sqlInteger(r[2]), sqlInteger(r[3])});
    }
    return list;
}

void refreshTotal(SqlConnection& connection, std::int64_t periodId, std::int64_t accountId) {
    auto sum = connection.query(
        "SELECT COUNT(*), SUM(b.score), MAX(b.reached_at) FROM period_bests b JOIN games g ON g.id = b.game_id "
        "WHERE b.period_id = $1 AND b.account_id = $2 AND g.is_current = 1",
        {periodId, accountId});
    if (sqlInteger(sum[0][0]) == 0) {
        connection.query("DELETE FROM period_totals WHERE period_id = $1 AND account_id = $2", {periodId, accountId});
        return;
    }
    connection.query(
        "INSERT INTO period_totals (period_id, account_id, games, total, reached_at) VALUES ($1, $2, $3, $4, $5) "
        "ON CONFLICT (period_id, account_id) DO UPDATE SET games = excluded.games, total = excluded.total, "
        "reached_at = excluded.reached_at",
        {periodId, accountId, sqlInteger(sum[0][0]), sqlInteger(sum[0][1]), sqlInteger(sum[0][2])});
}

}  // namespace

void refreshBest(SqlConnection& connection, std::int64_t periodId, std::int32_t gameId, std::int64_t accountId) {
    auto best = connection.query(
        "SELECT score, submitted_at FROM submissions WHERE account_id = $1 AND game_id = $2 AND period_id = $3 "
        "AND hidden_at IS NULL ORDER BY score DESC, submitted_at, id LIMIT 1",
        {accountId, std::int64_t{gameId}, periodId});
    if (best.empty()) {
        connection.query("DELETE FROM period_bests WHERE period_id = $1 AND game_id = $2 AND account_id = $3",
                         {periodId, std::int64_t{gameId}, accountId});
    } else {
        connection.query(
            "INSERT INTO period_bests (period_id, game_id, account_id, score, reached_at) VALUES ($1, $2, $3, $4, $5) "
            "ON CONFLICT (period_id, game_id, account_id) DO UPDATE SET score = excluded.score, "
            "reached_at = excluded.reached_at",
            {periodId, std::int64_t{gameId}, accountId, sqlInteger(best[0][0]), sqlInteger(best[0][1])});
    }
    refreshTotal(connection, periodId, accountId);
}

void refreshAllTotals(SqlConnection& connection) {
    connection.query("DELETE FROM period_totals");
    connection.query(
        "INSERT INTO period_totals (period_id, account_id, games, total, reached_at) "
        "SELECT b.period_id, b.account_id, COUNT(*), SUM(b.score), MAX(b.reached_at) FROM period_bests b "
        "JOIN games g ON g.id = b.game_id WHERE g.is_current = 1 GROUP BY b.period_id, b.account_id");
}

void refreshAllBests(SqlConnection& connection) {
    connection.query("DELETE FROM period_bests");
    connection.query(
        "INSERT INTO period_bests (period_id, game_id, account_id, score, reached_at) "
        "SELECT period_id, game_id, account_id, score, submitted_at FROM (SELECT period_id, game_id, account_id, "
        "score, submitted_at, ROW_NUMBER() OVER (PARTITION BY period_id, game_id, account_id "
        "ORDER BY score DESC, submitted_at, id) AS n FROM submissions "
        "WHERE period_id IS NOT NULL AND hidden_at IS NULL) b WHERE n = 1");
    refreshAllTotals(connection);
}

std::vector<CollectivePlacing> collectiveTopTen(SqlConnection& connection, std::int64_t periodId, ListedScores listed) {
    if (listed == ListedScores::verifiedOnly) return summedCollective(connection, periodId);
    // Nobody has a best in every game of none; COUNT(*) of no games is 0,
    // which no total has.
    auto rows = connection.query(
        "SELECT t.account_id, a.nickname, t.total, t.reached_at FROM period_totals t "
        "JOIN accounts a ON a.id = t.account_id WHERE t.period_id = $1 AND a.banned_at IS NULL "
        "AND t.games = (SELECT COUNT(*) FROM games WHERE is_current = 1) "
        "ORDER BY t.total DESC, t.reached_at, t.account_id LIMIT $2",
        {periodId, std::int64_t(listLength)});
    std::vector<CollectivePlacing> list;
    for (const SqlRow& r : rows) list.push_back({sqlInteger(r[0]), *r[1], sqlInteger(r[2]), sqlInteger(r[3])});
    return list;
}
