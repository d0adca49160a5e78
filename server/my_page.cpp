#include "server/my_page.h"

MyPage readMyPage(SqlConnection& connection, std::int64_t accountId, std::int64_t now) {
    MyPage page;
    auto account = connection.query("SELECT email, nickname, news FROM accounts WHERE id = $1", {accountId});
    if (account.empty()) return page;
    page.email = *account[0][0];
    page.nickname = *account[0][1];
    page.news = sqlInteger(account[0][2]) != 0;
    auto pending = connection.query(
        "SELECT email FROM email_changes WHERE account_id = $1 AND used_at IS NULL AND expires_at > $2 "
        "ORDER BY created_at DESC LIMIT 1",
        {accountId, now});
    if (!pending.empty()) page.pendingEmail = *pending[0][0];

    // The lists leave hidden scores out, and so do my bests.
    auto bests = connection.query(
        "SELECT g.name, '', MAX(s.score), g.id, 0, 0 FROM submissions s JOIN games g ON g.id = s.game_id "
        "WHERE s.account_id = $1 AND s.hidden_at IS NULL GROUP BY g.id, g.name "
        "UNION ALL SELECT g.name, p.name, b.score, g.id, 1, p.starts_at FROM period_bests b "
        "JOIN games g ON g.id = b.game_id JOIN periods p ON p.id = b.period_id WHERE b.account_id = $1 "
        "ORDER BY 4, 5, 6 DESC",
        {accountId});
    for (const SqlRow& r : bests)
        page.bests.push_back({*r[0], r[1].value_or(""), static_cast<std::int32_t>(sqlInteger(r[2]))});

    auto scores = connection.query(
        "SELECT s.submitted_at, g.name, s.score, CASE WHEN s.replay_id IS NULL THEN 0 ELSE 1 END, p.name, "
        "CASE WHEN s.hidden_at IS NULL THEN 0 ELSE 1 END FROM submissions s JOIN games g ON g.id = s.game_id "
        "LEFT JOIN periods p ON p.id = s.period_id WHERE s.account_id = $1 "
        "ORDER BY s.submitted_at DESC, s.id DESC LIMIT $2",
        {accountId, myPageScores});
    for (const SqlRow& r : scores) {
        page.scores.push_back({sqlInteger(r[0]), *r[1], static_cast<std::int32_t>(sqlInteger(r[2])),
                               sqlInteger(r[3]) != 0, r[4].value_or(""), sqlInteger(r[5]) != 0});
    }
    page.challenges = sentChallenges(connection, accountId);
    return page;
}
