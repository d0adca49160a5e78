#pragma once
// The lists, computed from the stored scores each time they are asked for:
// a hidden score or a banned player's is never in them, so hiding and
// banning leave nothing stale behind.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/sql_connection.h"

struct Placing {
    std::int64_t accountId = 0;
    std::string nickname;
    std::int32_t score = 0;
    std::int64_t achievedAt = 0;  // when the player first reached that score
    bool verified = false;  // proven by a replay the service played again
};

// Which scores a list ranks.
enum class ListedScores { all, verifiedOnly };

// Which scores a list is made of: those of one period, or of all time.
struct ListScope {
    ListedScores listed = ListedScores::all;
    std::optional<std::int64_t> periodId;  // none: all time
};

inline constexpr std::size_t listLength = 10;

// A player in the collective ranking: their best in every current game of
// the period, summed.
struct CollectivePlacing {
    std::int64_t accountId = 0;
    std::string nickname;
    std::int64_t total = 0;
    std::int64_t achievedAt = 0;  // when the last of those bests was reached
};

// The ten players of the period with a listed score in each of the current
// games, ranked by the sum of their bests; ties go to whoever reached the
// total first. Nobody when there is no current game. The totals of all
// scores are kept (refreshBest); those of proven scores alone are summed
// from the scores at each call, which is slow with many.
std::vector<CollectivePlacing> collectiveTopTen(SqlConnection& connection, std::int64_t periodId, ListedScores listed);

// Works out again from the stored scores the player's best in the game
// and period and their total over the current games, after one of their
// scores there was stored, hidden or restored. Call inside the change's
// transaction.
void refreshBest(SqlConnection& connection, std::int64_t periodId, std::int32_t gameId, std::int64_t accountId);

// Works out every total again, after the current games changed.
void refreshAllTotals(SqlConnection& connection);

// Works out every best and total again, after scores were stored in bulk.
void refreshAllBests(SqlConnection& connection);

// SQL for the id of the period that the time in `parameter` (such as "$3")
// falls in, NULL when none: a score belongs to the period it was accepted in.
std::string periodAtTime(const std::string& parameter);

// The ten best players of a game, each by their best listed score; ties go
// to whoever reached the score first.
std::vector<Placing> topTen(SqlConnection& connection, std::int32_t gameId, const ListScope& scope);
