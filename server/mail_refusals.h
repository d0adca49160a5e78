#pragma once
// The addresses that asked for no more mail from the service, account or
// not. Mail nobody at the address asked for (challenges, news) carries a
// link of its own that puts the address on the list with one click; from
// then on no such mail goes there. Addresses are kept as keyed hashes and
// the links as the hashes of their tokens, so the tables alone name nobody.
#include <cstdint>
#include <string>
#include <string_view>

#include "server/sql_connection.h"

// The address's keyed hash: the same for every spelling that is one
// account (nameKey), the same on every server.
std::string mailAddressHash(std::string_view address);

// True when the address asked for no more mail.
bool mailRefused(SqlConnection& connection, std::string_view address);

// A new link's token for a mail to the address; only its hash is kept.
std::string addRefusalLink(SqlConnection& connection, std::string_view address, std::int64_t now);

enum class RefusalLink { unknown, open, used };

// What a link's token is: unknown, or the link of an address that has or
// has not said no yet.
RefusalLink refusalLinkState(SqlConnection& connection, const std::string& token);

// Puts the link's address on the list (again is no change); false when the
// link is unknown.
bool refuseMail(SqlConnection& connection, const std::string& token, std::int64_t now);
