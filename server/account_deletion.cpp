#include "server/account_deletion.h"

#include <string>

#include "server/sessions.h"

void eraseAccount(SqlConnection& connection, std::int64_t accountId) {
    std::vector<SqlParam> id = {accountId};
    auto account = connection.query("SELECT email_key FROM accounts WHERE id = $1", id);
    if (account.empty()) return;
    std::string emailKey = *account[0][0];
    // Each table before the ones it refers to.
    for (const char* sql : {
             "DELETE FROM period_totals WHERE account_id = $1",
             "DELETE FROM period_bests WHERE account_id = $1",
             "DELETE FROM submissions WHERE account_id = $1",
             "DELETE FROM replays WHERE ticket_id IN (SELECT id FROM tickets WHERE account_id = $1)",
             "DELETE FROM tickets WHERE account_id = $1",
             "DELETE FROM password_resets WHERE account_id = $1",
             "DELETE FROM email_confirmations WHERE account_id = $1",
             "DELETE FROM email_changes WHERE account_id = $1",
             "DELETE FROM trusted_addresses WHERE account_id = $1",
             "DELETE FROM unsubscribe_links WHERE account_id = $1",
             "DELETE FROM challenges WHERE account_id = $1",
             "UPDATE challenges SET joined_id = NULL WHERE joined_id = $1",
             "UPDATE accounts SET referrer_id = NULL WHERE referrer_id = $1",
             "UPDATE winners SET account_id = NULL, claim_token_hash = NULL, full_name = NULL, "
             "postal_address = NULL, lives_in_sweden = NULL WHERE account_id = $1",
         }) {
        connection.query(sql, id);
    }
    endSessionsOf(connection, accountId);
    connection.query("DELETE FROM login_failures WHERE scope = $1", {"account:" + std::to_string(accountId)});
    connection.query("UPDATE audit SET subject = $2 WHERE subject = $1 AND action IN ('account ban', 'account unban')",
                     {emailKey, "raderat konto " + std::to_string(accountId)});
    connection.query("DELETE FROM accounts WHERE id = $1", id);
}
