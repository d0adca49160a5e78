#include "server/news.h"

#include <ctime>

#include "server/mail_refusals.h"
#include "server/tokens.h"

News::News(ConnectionPool& pool, std::string site, SendMail mail, std::function<std::int64_t()> clock)
    : pool_(pool), site_(std::move(site)), mail_(std::move(mail)), clock_(std::move(clock)) {}

std::int64_t News::now() const { return clock_ ? clock_() : static_cast<std::int64_t>(std::time(nullptr)); }

std::size_t News::send(const NewsLetter& letter, const AuditNote& note) {
    auto subscribers = pool_.borrow()->query(
        "SELECT id, email, nickname FROM accounts WHERE news = 1 AND banned_at IS NULL AND confirmed_at IS NOT NULL "
        "ORDER BY id");
    std::size_t sent = 0;
    for (const SqlRow& r : subscribers) {
        if (mailRefused(*pool_.borrow(), *r[1])) continue;
        std::string token = newToken();
        pool_.borrow()->query("INSERT INTO unsubscribe_links (token_hash, account_id, created_at) VALUES ($1, $2, $3)",
                              {tokenHash(token), sqlInteger(r[0]), now()});
        std::string link = site_ + "/avsluta.htm?token=" + token;
        MailMessage message;
        message.from = serviceSender(site_);
        message.to = *r[1];
        message.subject = letter.subject;
        message.body = "Hej " + *r[2] + "!\n\n" + letter.body +
                       "\n--\nDu får det här brevet för att du bad om nyheter från Kvippa.\n"
                       "Vill du inte ha fler? Avsluta med ett klick här:\n" +
                       link + "\n";
        message.headers = {"List-Unsubscribe: <" + link + ">", "List-Unsubscribe-Post: List-Unsubscribe=One-Click"};
        mail_(message, static_cast<std::time_t>(now()));
        ++sent;
    }
    ContestStore(pool_).recordAction(note, "news send", letter.subject + " (" + std::to_string(sent) + " mailed)",
                                     now());
    return sent;
}

Outcome News::subscription(const std::string& token) {
    bool subscribed = !pool_.borrow()
                           ->query("SELECT 1 FROM unsubscribe_links u JOIN accounts a ON a.id = u.account_id "
                                   "WHERE u.token_hash = $1 AND a.news = 1",
                                   {tokenHash(token)})
                           .empty();
    return subscribed ? Outcome::done : Outcome::gone;
}

Outcome News::unsubscribe(const std::string& token) {
    auto rows = pool_.borrow()->query(
        "UPDATE accounts SET news = 0 WHERE id = (SELECT account_id FROM unsubscribe_links WHERE token_hash = $1) "
        "RETURNING id",
        {tokenHash(token)});
    return rows.empty() ? Outcome::gone : Outcome::done;
}
