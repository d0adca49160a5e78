#include "server/accounts.h"

#include <ctime>

#include "server/passwords.h"
#include "server/text_encoding.h"

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
