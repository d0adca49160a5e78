#include "server/email_confirmation.h"

void Confirmations::add(const std::string& tokenHash, std::int64_t accountId, std::int64_t now) {
    pool_.borrow()->query(
        "INSERT INTO email_confirmations (token_hash, account_id, created_at, expires_at) VALUES ($1, $2, $3, $4)",
        {tokenHash, accountId, now, now + confirmLinkLifetime});
}

bool Confirmations::works(const std::string& tokenHash, std::int64_t now) {
    return !pool_.borrow()
                ->query("SELECT 1 FROM email_confirmations WHERE token_hash = $1 AND used_at IS NULL AND expires_at > $2",
                        {tokenHash, now})
                .empty();
}

bool Confirmations::confirm(const std::string& tokenHash, std::int64_t now) {
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    auto rows = connection->query(
        "UPDATE email_confirmations SET used_at = $2 WHERE token_hash = $1 AND used_at IS NULL AND expires_at > $2 "
        "RETURNING account_id",
        {tokenHash, now});
    if (rows.empty()) return false;
    connection->query("UPDATE accounts SET confirmed_at = $2 WHERE id = $1 AND confirmed_at IS NULL",
                      {sqlInteger(rows[0][0]), now});
    transaction.commit();
    return true;
}

void Confirmations::confirmAccount(std::int64_t accountId, std::int64_t now) {
    pool_.borrow()->query("UPDATE accounts SET confirmed_at = $2 WHERE id = $1 AND confirmed_at IS NULL",
                          {accountId, now});
}

bool Confirmations::confirmed(std::int64_t accountId) {
    return !pool_.borrow()->query("SELECT 1 FROM accounts WHERE id = $1 AND confirmed_at IS NOT NULL", {accountId}).empty();
}

MailMessage confirmationMail(const std::string& from, const std::string& to, const std::string& nickname,
                             const std::string& link) {
    MailMessage message;
    message.from = from;
    message.to = to;
    message.subject = "Bekräfta din e-postadress hos Kvippa";
    message.body = "Hej " + nickname +
                   "!\n\n"
                   "Någon, förhoppningsvis du, har blivit medlem hos Kvippa med den här adressen.\n"
                   "Bekräfta adressen här inom en vecka, så kan du registrera dina poäng från spelet:\n\n" +
                   link +
                   "\n\n"
                   "Har du inte blivit medlem kan du strunta i det här brevet; då registreras inga poäng i ditt namn.\n";
    return message;
}

MailMessage takenAddressMail(const std::string& from, const std::string& to, const std::string& nickname,
                             const std::string& passwordLink) {
    MailMessage message;
    message.from = from;
    message.to = to;
    message.subject = "Du är redan medlem hos Kvippa";
    message.body = "Hej " + nickname +
                   "!\n\n"
                   "Någon, förhoppningsvis du, försökte nyss bli medlem hos Kvippa med den här adressen.\n"
                   "Adressen har redan ett konto, med smeknamnet " +
                   nickname +
                   ", så inget nytt konto skapades.\n\n"
                   "Har du glömt lösenordet? Välj ett nytt här:\n\n" +
                   passwordLink +
                   "\n\n"
                   "Var det inte du kan du strunta i det här brevet; ditt konto är som förut.\n";
    return message;
}
