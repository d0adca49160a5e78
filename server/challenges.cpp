#include "server/challenges.h"

#include <algorithm>
#include <ctime>

#include "server/mail_address.h"
#include "server/nickname.h"
#include "server/text_encoding.h"
#include "server/tokens.h"
#include "server/web_game_files.h"

namespace {

constexpr std::int64_t day = 24 * 60 * 60, week = 7 * day;
// The game the mail offers, and whose best score it tells.
constexpr std::int32_t challengedGameId = 4;

struct Friend {
    std::string address;  // trimmed, as typed
    std::string key;  // nameKey: one account's every spelling
};

// The form's friends, each once, and the faults of those that are no
// address or the player's own.
std::vector<Friend> friendsOf(const ChallengeForm& form, const std::string& ownKey, std::vector<std::string>& faults) {
    std::vector<Friend> friends;
    std::size_t field = 0, named = 0;
    bool own = false;
    for (const std::string& typed : form.friends) {
        ++field;
        std::string address = trimmed(typed);
        if (address.empty()) continue;
        ++named;
        if (!isPrintableUtf8(address) || address.size() > maxFriendAddressBytes || !isOneMailbox(address)) {
            faults.push_back("Vän " + std::to_string(field) + ": skriv en e-postadress, som namn@exempel.se.");
            continue;
        }
        std::string key = nameKey(address);
        if (key == ownKey) {
            own = true;
        } else if (std::none_of(friends.begin(), friends.end(), [&](const Friend& f) { return f.key == key; })) {
            friends.push_back({address, key});
        }
    }
    if (own) faults.push_back("Du kan inte utmana dig själv. Skriv dina vänners adresser.");
    if (named > maxChallengedFriends) {
        faults.push_back("Du kan utmana högst " + std::to_string(maxChallengedFriends) + " vänner åt gången.");
    } else if (friends.empty() && faults.empty()) {
        faults.push_back("Skriv minst en väns e-postadress.");
    }
    return friends;
}

// The message as the mail shows it: its line breaks as spaces, kept as
// nicknames are (nothing invisible or reordering), without links, which
// would make the service a carrier of anybody's.
std::string messageOf(const std::string& typed, std::vector<std::string>& faults) {
    std::string flat = typed;
    std::replace_if(flat.begin(), flat.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    if (trimmed(flat).empty()) return "";
    NicknameVerdict verdict = examineNickname(flat, maxChallengeMessageCharacters);
    if (verdict.fault == NicknameFault::emptyOrLong) {
        // Nothing visible is no message.
        if (characterCount(trimmed(flat)) <= maxChallengeMessageCharacters) return "";
        faults.push_back("Meddelandet får vara högst " + std::to_string(maxChallengeMessageCharacters) + " tecken.");
        return "";
    }
    if (verdict.fault == NicknameFault::deceptive) {
        faults.push_back("Meddelandet får inte ha osynliga tecken, tecken som vänder skrivriktningen eller "
                         "staplade accenter.");
        return "";
    }
    std::string lower = nameKey(verdict.shown);
    if (lower.find("://") != std::string::npos || lower.find("www.") != std::string::npos) {
        faults.push_back("Meddelandet får inte innehålla länkar.");
        return "";
    }
    return verdict.shown;
}

MailMessage challengeMail(const ChallengeSettings& settings, const std::string& to, const std::string& nickname,
                          std::optional<std::int64_t> best, const std::string& message, const std::string& token,
                          const std::string& stopToken) {
    const std::string& site = settings.site;
    std::string stopLink = site + "/avsluta.htm?token=" + stopToken;
    MailMessage mail;
    mail.from = serviceSender(site);
    mail.to = to;
    mail.subject = nickname + " utmanar dig i Zifra Invaders";
    mail.body = "Hej!\n\n" + nickname + " utmanar dig i Zifra Invaders, ett gratis spel från Kvippa. " +
                (best ? "Bästa resultat hittills: " + std::to_string(*best) + " poäng. Kan du slå det?\n"
                      : nickname + " har inte registrerat något resultat ännu. Hinn före!\n");
    if (!message.empty()) mail.body += "\n" + nickname + " skriver: " + message + "\n";
    mail.body += "\nLadda ner spelet (för Windows):\n" + site + "/download/zifra.exe\n";
    if (settings.webGame) mail.body += "\nEller spela direkt i webbläsaren:\n" + site + webGameAddress + "\n";
    mail.body += "\nBli medlem för att tävla om priserna. Med den här länken vet vi att det var " + nickname +
                 " som skickade spelet, och vinner du får " + nickname + " ett bonuspris:\n" + site +
                 "/reg3.htm?utmaning=" + token +
                 "\n\n--\nDu får det här brevet för att " + nickname +
                 " skrev in din adress hos Kvippa.\nVill du inte ha fler brev från Kvippa? Ett klick här räcker:\n" +
                 stopLink + "\n";
    mail.headers = {"List-Unsubscribe: <" + stopLink + ">", "List-Unsubscribe-Post: List-Unsubscribe=One-Click"};
    return mail;
}

}  // namespace

Challenges::Challenges(ConnectionPool& pool, ChallengeSettings settings, SendMail mail)
    : pool_(pool), settings_(std::move(settings)), mail_(std::move(mail)) {}

std::int64_t Challenges::now() const {
    return settings_.clock ? settings_.clock() : static_cast<std::int64_t>(std::time(nullptr));
}

FormOutcome Challenges::send(std::int64_t accountId, const ChallengeForm& form) {
    std::int64_t time = now();
    std::vector<MailMessage> mails;
    {
        auto connection = pool_.borrow();
        SqlTransaction transaction(*connection);
        // One player's forms side by side take turns, so together they
        // cannot pass the day's share; on SQLite every write transaction
        // already does.
        std::string lock = connection->dialect() == SqlDialect::postgresql ? " FOR UPDATE" : "";
        auto account = connection->query(
            "SELECT email_key, nickname, banned_at FROM accounts WHERE id = $1" + lock, {accountId});
        if (account.empty()) return {Outcome::signInNeeded, {}};
        if (account[0][2]) return {Outcome::forbidden, {}};
        std::vector<std::string> faults;
        std::vector<Friend> friends = friendsOf(form, *account[0][0], faults);
        std::string message = messageOf(form.message, faults);
        if (!faults.empty()) return FormOutcome::with(std::move(faults));

        std::int64_t named = sqlInteger(connection->query(
            "SELECT COUNT(*) FROM challenges WHERE account_id = $1 AND sent_at > $2", {accountId, time - day})[0][0]);
        std::int64_t left = std::max<std::int64_t>(0, challengedFriendsPerDay - named);
        if (static_cast<std::int64_t>(friends.size()) > left) {
            std::string share = "Du kan utmana högst " + std::to_string(challengedFriendsPerDay) + " vänner per dygn.";
            return {Outcome::tooMany, {left == 0 ? share + " Försök igen i morgon."
                                                 : share + " Just nu kan du utmana " + std::to_string(left) + " till."}};
        }

        const std::string& nickname = *account[0][1];
        std::string listedOnly = settings_.listed == ListedScores::verifiedOnly ? " AND replay_id IS NOT NULL" : "";
        auto best = connection->query("SELECT MAX(score) FROM submissions WHERE account_id = $1 AND game_id = $2 AND "
                                      "hidden_at IS NULL" + listedOnly,
                                      {accountId, std::int64_t{challengedGameId}});
        std::optional<std::int64_t> bestScore;
        if (best[0][0]) bestScore = sqlInteger(best[0][0]);

        for (const Friend& f : friends) {
            std::string hash = mailAddressHash(f.key);
            bool repeated = !connection->query(
                "SELECT 1 FROM challenges WHERE account_id = $1 AND friend_hash = $2 AND mailed = 1 AND sent_at > $3",
                {accountId, hash, time - challengeRepeatWait}).empty();
            std::int64_t lately = sqlInteger(connection->query(
                "SELECT COUNT(*) FROM challenges WHERE friend_hash = $1 AND mailed = 1 AND sent_at > $2",
                {hash, time - week})[0][0]);
            bool mailed = !repeated && lately < challengeMailsPerAddressPerWeek && !mailRefused(*connection, f.key);
            std::string token = mailed ? newToken() : "";
            connection->query(
                "INSERT INTO challenges (account_id, friend_hash, token_hash, sent_at, mailed) "
                "VALUES ($1, $2, CASE WHEN $3 = '' THEN NULL ELSE $3 END, $4, $5)",
                {accountId, hash, mailed ? tokenHash(token) : std::string(), time, std::int64_t{mailed ? 1 : 0}});
            if (mailed) {
                mails.push_back(challengeMail(settings_, f.address, nickname, bestScore, message, token,
                                              addRefusalLink(*connection, f.key, time)));
            }
        }
        transaction.commit();
    }
    for (const MailMessage& mail : mails) mail_(mail, static_cast<std::time_t>(time));
    return {Outcome::done, {}};
}

std::optional<std::string> Challenges::challenger(const std::string& token) {
    if (token.empty()) return std::nullopt;
    auto rows = pool_.borrow()->query(
        "SELECT a.nickname FROM challenges c JOIN accounts a ON a.id = c.account_id "
        "WHERE c.token_hash = $1 AND a.banned_at IS NULL",
        {tokenHash(token)});
    if (rows.empty()) return std::nullopt;
    return *rows[0][0];
}

void Challenges::joined(const std::string& token, std::int64_t accountId) {
    if (token.empty()) return;
    pool_.borrow()->query("UPDATE challenges SET joined_id = $2 WHERE token_hash = $1 AND joined_id IS NULL",
                          {tokenHash(token), accountId});
}

RefusalLink Challenges::refusalLink(const std::string& token) { return refusalLinkState(*pool_.borrow(), token); }

bool Challenges::refuseMail(const std::string& token) { return ::refuseMail(*pool_.borrow(), token, now()); }
