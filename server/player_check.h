#pragma once
// What the service's one check of a player's password tells: the same for
// score posts, tickets, and the site's sign-in and forms.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "server/store.h"

// What came of the one check of a player's password.
struct PlayerCheck {
    enum class Outcome { unknown, backOff, wrongPassword, unconfirmed, banned, passed } outcome = Outcome::unknown;
    std::optional<Account> account;  // unless unknown
    std::int64_t wait = 0;           // for backOff
};

// The check: the e-mail key (nameKey), the password (UTF-8), the client's
// address. Throws HashingBusy when it cannot be done now.
using CheckPlayer = std::function<PlayerCheck(const std::string& emailKey, std::string_view password,
                                              const std::string& clientAddress)>;
