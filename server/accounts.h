#pragma once
// A player's own account on the site, apart from HTTP: signing in, and what
// my pages show and change. Passwords are checked by the service's one
// check (CompetitionService), so the site backs off after wrong passwords
// as score posts do, the forms that ask for the password again included.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "server/my_page.h"
#include "server/outbox.h"
#include "server/outcome.h"
#include "server/player_check.h"
#include "server/sessions.h"
#include "server/store.h"

struct AccountSettings {
    std::string site;                     // "http://host[:port]", which links in mail begin with
    std::function<std::int64_t()> clock;  // calendar seconds; the system's when empty
};

// The one text for a wrong address and a wrong password alike.
inline constexpr char wrongSignInText[] = "Fel e-postadress eller lösenord.";

// What came of a sign-in: done with a new session; faulty (a wrong address
// or password, or an address not yet confirmed), forbidden (banned) or
// tooMany (wrong passwords lately) with the text that tells so.
struct SiteSignIn {
    Outcome outcome = Outcome::faulty;
    std::string fault;   // Swedish, unless done
    NewSession session;  // when done
};

// How long the link that confirms a new e-mail address works, and how many
// changes a player may ask for in an hour (each one mails someone).
inline constexpr std::int64_t emailChangeLinkLifetime = 24 * 60 * 60;
inline constexpr std::int64_t emailChangesPerHour = 3;

class Accounts {
public:
    Accounts(ConnectionPool& pool, AccountSettings settings, SendMail mail, CheckPlayer check, Sessions& sessions);

    // Throws HashingBusy when the password cannot be checked now.
    SiteSignIn signIn(std::string_view email, std::string_view password, const std::string& clientAddress);

    MyPage myPage(const Session& session);
    // Everything kept of the player but hashes (account_data.h).
    nlohmann::ordered_json myData(const Session& session);

    // The changes of my pages: done, or the faults (faulty, or tooMany
    // after wrong passwords or too many changes). Those that take the
    // password throw HashingBusy when it cannot be checked now.
    FormOutcome changeNickname(const Session& session, const std::string& nickname);
    // Mails the new address a link that makes the change, or, when the
    // address has an account already, a note that says so; the answer is
    // the same either way.
    FormOutcome changeEmail(const Session& session, const std::string& email, std::string_view password,
                            const std::string& clientAddress);
    // Ends the player's other sessions.
    FormOutcome changePassword(const Session& session, std::string_view current, const std::string& password,
                               const std::string& repeated, const std::string& clientAddress);
    void setNews(const Session& session, bool news);
    // Deletes the account (account_deletion.h); only with `sure`.
    FormOutcome deleteAccount(const Session& session, std::string_view password, bool sure,
                              const std::string& clientAddress);

    // True while the link of an e-mail change can still be used.
    bool emailChangeWorks(const std::string& token);
    // Makes the change of the link and uses it up; gone when the link does
    // not work, faulty when the address got an account in the meantime.
    FormOutcome confirmEmailChange(const std::string& token);

private:
    std::int64_t now() const;
    // Nothing when the password is the session's player's; else why not.
    std::optional<FormOutcome> refusedPassword(const Session& session, std::string_view password,
                                               const std::string& clientAddress);

    ConnectionPool& pool_;
    AccountSettings settings_;
    SendMail mail_;
    CheckPlayer check_;
    Sessions& sessions_;
};
