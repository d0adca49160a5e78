#include "server/sent_challenges.h"

std::vector<SentChallenge> sentChallenges(SqlConnection& connection, std::int64_t accountId) {
    auto rows = connection.query(
        "SELECT c.sent_at, j.nickname FROM challenges c LEFT JOIN accounts j ON j.id = c.joined_id "
        "WHERE c.account_id = $1 ORDER BY c.sent_at DESC, c.id DESC",
        {accountId});
    std::vector<SentChallenge> challenges;
    for (const SqlRow& r : rows) challenges.push_back({sqlInteger(r[0]), r[1].value_or("")});
    return challenges;
}
