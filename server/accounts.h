#pragma once
// A player's own account on the site, apart from HTTP: signing in.
// The password is checked by the service's one check (CompetitionService),
// so the site's sign-in backs off after wrong passwords as score posts do.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

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

class Accounts {
public:
    Accounts(ConnectionPool& pool, AccountSettings settings, SendMail mail, CheckPlayer check, Sessions& sessions);

    // Throws HashingBusy when the password cannot be checked now.
    SiteSignIn signIn(std::string_view email, std::string_view password, const std::string& clientAddress);

private:
    std::int64_t now() const;

    ConnectionPool& pool_;
    AccountSettings settings_;
    SendMail mail_;
    CheckPlayer check_;
    Sessions& sessions_;
};
