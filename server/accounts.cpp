#include "server/accounts.h"

#include <ctime>

#include "server/account_data.h"
#include "server/account_deletion.h"
#include "server/account_rules.h"
#include "server/passwords.h"
#include "server/text_encoding.h"
#include "server/tokens.h"

namespace {

// An unknown address costs the hashing a wrong password costs, so that the
// time of the answer does not tell the two apart either.
void hashForNothing(std::string_view password) {
    static const std::string unused = hashPassword("zifra-server: no account");
    verifyPassword(unused, password);
}

}  // namespace

Accounts::Accounts(ConnectionPool& pool, AccountSettings settings, SendMail mail, CheckPlayer check, Sessions& sessions)
    : pool_(pool),
      settings_(std::move(settings)),
      mail_(std::move(mail)),
      check_(std::move(check)),
      sessions_(sessions) {}

std::int64_t Accounts::now() const {
    return settings_.clock ? settings_.clock() : static_cast<std::int64_t>(std::time(nullptr));
}

SiteSignIn Accounts::signIn(std::string_view email, std::string_view password, const std::string& clientAddress) {
    using Checked = PlayerCheck::Outcome;
    std::string address = trimmed(email);
    if (!isPrintableUtf8(address) || !isUtf8(password)) return {Outcome::faulty, wrongSignInText, {}};
    PlayerCheck player = check_(nameKey(address), password, clientAddress);
    switch (player.outcome) {
    case Checked::unknown: hashForNothing(password); [[fallthrough]];
    case Checked::wrongPassword: return {Outcome::faulty, wrongSignInText, {}};
    case Checked::backOff:
        return {Outcome::tooMany,
                "För många fel lösenord. Försök igen om " + std::to_string(player.wait) + " sekunder.",
                {}};
    // Told only to whoever knows the password.
    case Checked::unconfirmed:
        return {Outcome::faulty, "Bekräfta först din e-postadress med länken i brevet från Kvippa.", {}};
    case Checked::banned: return {Outcome::forbidden, "Kontot är avstängt från tävlingen.", {}};
    case Checked::passed: break;
    }
    return {Outcome::done, "", sessions_.start(player.account->id)};
}

std::optional<FormOutcome> Accounts::refusedPassword(const Session& session, std::string_view password,
                                                     const std::string& clientAddress) {
    using Checked = PlayerCheck::Outcome;
    PlayerCheck player = check_(nameKey(session.email), password, clientAddress);
    if (player.outcome == Checked::backOff) {
        return FormOutcome{Outcome::tooMany,
                           {"För många fel lösenord. Försök igen om " + std::to_string(player.wait) + " sekunder."}};
    }
    if (player.outcome != Checked::passed || player.account->id != session.accountId) {
        return FormOutcome::with({"Fel lösenord."});
    }
    return std::nullopt;
}

MyPage Accounts::myPage(const Session& session) { return readMyPage(*pool_.borrow(), session.accountId, now()); }

nlohmann::ordered_json Accounts::myData(const Session& session) {
    return accountData(*pool_.borrow(), session.accountId);
}

FormOutcome Accounts::changeNickname(const Session& session, const std::string& nickname) {
    std::vector<std::string> faults;
    NicknameVerdict verdict = checkNickname(nickname, faults);
    if (!faults.empty()) return FormOutcome::with(faults);
    try {
        // The unique keys tell a nickname taken by another player, or one
        // that looks like it; a closed period's winners keep the old one.
        pool_.borrow()->query(
            "UPDATE accounts SET nickname = $2, nickname_key = $3, nickname_skeleton = $4 WHERE id = $1",
            {session.accountId, verdict.shown, nameKey(verdict.shown), verdict.skeleton});
    } catch (const SqlError& error) {
        if (!error.uniqueViolation) throw;
        return FormOutcome::with({"Smeknamnet är redan upptaget."});
    }
    return {};
}

FormOutcome Accounts::changeEmail(const Session& session, const std::string& email, std::string_view password,
                                  const std::string& clientAddress) {
    std::string address = trimmed(email);
    std::vector<std::string> faults;
    checkEmail(address, faults);
    if (!faults.empty()) return FormOutcome::with(faults);
    if (nameKey(address) == nameKey(session.email)) return FormOutcome::with({"Det är redan din e-postadress."});
    if (auto refused = refusedPassword(session, password, clientAddress)) return *refused;

    std::int64_t time = now();
    std::string token = newToken();
    bool taken = false;
    {
        auto connection = pool_.borrow();
        SqlTransaction transaction(*connection);
        if (connection->dialect() == SqlDialect::postgresql) {
            // Changes side by side take turns, so none passes the limit.
            connection->query("SELECT 1 FROM accounts WHERE id = $1 FOR UPDATE", {session.accountId});
        }
        auto asked = connection->query("SELECT COUNT(*) FROM email_changes WHERE account_id = $1 AND created_at > $2",
                                       {session.accountId, time - 60 * 60});
        if (sqlInteger(asked[0][0]) >= emailChangesPerHour) {
            return {Outcome::tooMany, {"Du har bytt e-postadress många gånger på sistone. Försök igen om en timme."}};
        }
        taken = !connection->query("SELECT 1 FROM accounts WHERE email_key = $1", {nameKey(address)}).empty();
        // A taken address is noted too, with a link that is never mailed:
        // it counts toward the limit, and my pages show the change as
        // waiting either way.
        connection->query(
            "INSERT INTO email_changes (token_hash, account_id, email, email_key, created_at, expires_at) "
            "VALUES ($1, $2, $3, $4, $5, $6)",
            {tokenHash(taken ? newToken() : token), session.accountId, address, nameKey(address), time,
             time + emailChangeLinkLifetime});
        transaction.commit();
    }
    MailMessage message;
    message.from = serviceSender(settings_.site);
    message.to = address;
    if (taken) {
        message.subject = "Byte av e-postadress hos Kvippa";
        message.body =
            "Hej!\n\n"
            "Någon har bett om att byta e-postadressen på ett konto hos Kvippa till den här adressen.\n"
            "Adressen har redan ett eget konto hos Kvippa, så ingenting byts.\n\n"
            "Har du glömt lösenordet till ditt konto? Välj ett nytt här:\n\n" +
            settings_.site + "/getpass.htm\n\nHar du inte bett om bytet kan du strunta i det här brevet.\n";
    } else {
        message.subject = "Bekräfta din nya e-postadress hos Kvippa";
        message.body = "Hej " + session.nickname +
                       "!\n\n"
                       "Du har bett om att byta e-postadress hos Kvippa till den här adressen.\n"
                       "Bekräfta bytet här inom ett dygn:\n\n" +
                       settings_.site + "/mina-sidor/ny-epost?token=" + token +
                       "\n\nHar du inte bett om bytet kan du strunta i det här brevet; då byts ingenting.\n";
    }
    mail_(message, static_cast<std::time_t>(time));
    return {};
}

bool Accounts::emailChangeWorks(const std::string& token) {
    return !pool_.borrow()
                ->query("SELECT 1 FROM email_changes WHERE token_hash = $1 AND used_at IS NULL AND expires_at > $2",
                        {tokenHash(token), now()})
                .empty();
}

FormOutcome Accounts::confirmEmailChange(const std::string& token) {
    std::int64_t time = now();
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    auto change = connection->query(
        "UPDATE email_changes SET used_at = $2 WHERE token_hash = $1 AND used_at IS NULL AND expires_at > $2 "
        "RETURNING account_id, email, email_key",
        {tokenHash(token), time});
    if (change.empty()) return {Outcome::gone, {"Länken har redan använts eller är för gammal."}};
    std::int64_t accountId = sqlInteger(change[0][0]);
    const std::string &email = *change[0][1], &key = *change[0][2];
    FormOutcome taken = FormOutcome::with({"Adressen har fått ett eget konto hos Kvippa sedan du bad om bytet."});
    if (!connection->query("SELECT 1 FROM accounts WHERE email_key = $1", {key}).empty()) return taken;
    try {
        connection->query("UPDATE accounts SET email = $2, email_key = $3 WHERE id = $1", {accountId, email, key});
    } catch (const SqlError& error) {
        if (!error.uniqueViolation) throw;
        return taken;
    }
    // The other changes asked for are undone by this one.
    connection->query("UPDATE email_changes SET used_at = $2 WHERE account_id = $1 AND used_at IS NULL",
                      {accountId, time});
    transaction.commit();
    return {};
}

FormOutcome Accounts::changePassword(const Session& session, std::string_view current, const std::string& password,
                                     const std::string& repeated, const std::string& clientAddress) {
    std::vector<std::string> faults;
    checkPassword(password, repeated, faults);
    if (!faults.empty()) return FormOutcome::with(faults);
    if (auto refused = refusedPassword(session, current, clientAddress)) return *refused;
    std::string hash = hashPassword(password);
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    connection->query("UPDATE accounts SET password_hash = $2 WHERE id = $1", {session.accountId, hash});
    // A reset link asked for before would set the old worry back.
    connection->query("UPDATE password_resets SET used_at = $2 WHERE account_id = $1 AND used_at IS NULL",
                      {session.accountId, now()});
    endOtherSessionsOf(*connection, session.accountId, session.idHash);
    transaction.commit();
    return {};
}

void Accounts::setNews(const Session& session, bool news) {
    pool_.borrow()->query("UPDATE accounts SET news = $2 WHERE id = $1",
                          {session.accountId, std::int64_t{news ? 1 : 0}});
}

FormOutcome Accounts::deleteAccount(const Session& session, std::string_view password, bool sure,
                                    const std::string& clientAddress) {
    if (!sure) return FormOutcome::with({"Kryssa i att du verkligen vill radera ditt konto."});
    if (auto refused = refusedPassword(session, password, clientAddress)) return *refused;
    auto connection = pool_.borrow();
    SqlTransaction transaction(*connection);
    eraseAccount(*connection, session.accountId);
    transaction.commit();
    return {};
}
