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
        std::vector<SqlParam> params = {std::int64_t{gameId}, std::int64_t(listLength - list.size())};
        std::string sql =
            "SELECT s.account_id, a.nickname, s.score, s.submitted_at, "
            "CASE WHEN s.replay_id IS NULL THEN 0 ELSE 1 END FROM submissions s "
            "JOIN accounts a ON a.id = s.account_id "
            "WHERE s.game_id = $1 AND s.hidden_at IS NULL AND a.banned_at IS NULL";
        if (scope.periodId) {
            params.emplace_back(*scope.periodId);
            sql += " AND s.period_id = $3";
        }
        if (scope.listed == ListedScores::verifiedOnly) sql += " AND s.replay_id IS NOT NULL";
        if (!placed.empty()) {
            sql += " AND s.account_id NOT IN (";
            for (std::size_t i = 0; i < placed.size(); ++i) sql += (i ? ", $" : "$") + std::to_string(params.size() + i + 1);
            sql += ")";
        }
        sql += " ORDER BY s.score DESC, s.submitted_at, s.id LIMIT $2";
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

// Each player's best per current game is the first row of their scores in
// it, best first and earliest first; the totals are summed from those.
std::vector<CollectivePlacing> collectiveTopTen(SqlConnection& connection, std::int64_t periodId, ListedScores listed) {
    std::string sql =
        "SELECT b.account_id, a.nickname, SUM(b.score), MAX(b.submitted_at) FROM ("
        "SELECT s.account_id, s.score, s.submitted_at, ROW_NUMBER() OVER (PARTITION BY s.account_id, s.game_id "
        "ORDER BY s.score DESC, s.submitted_at, s.id) AS n FROM submissions s JOIN games g ON g.id = s.game_id "
        "WHERE s.period_id = $1 AND s.hidden_at IS NULL AND g.is_current = 1";
    if (listed == ListedScores::verifiedOnly) sql += " AND s.replay_id IS NOT NULL";
    sql += ") b JOIN accounts a ON a.id = b.account_id WHERE b.n = 1 AND a.banned_at IS NULL "
           "GROUP BY b.account_id, a.nickname HAVING COUNT(*) = (SELECT COUNT(*) FROM games WHERE is_current = 1) "
           "ORDER BY SUM(b.score) DESC, MAX(b.submitted_at), b.account_id LIMIT $2";
    std::vector<CollectivePlacing> list;
    for (const SqlRow& r : connection.query(sql, {periodId, std::int64_t(listLength)})) {
        list.push_back({sqlInteger(r[0]), *r[1], sqlInteger(r[2]), sqlInteger(r[3])});
    }
    return list;
}
