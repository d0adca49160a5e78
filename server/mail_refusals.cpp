#include "server/mail_refusals.h"

#include <sodium.h>

#include "server/text_encoding.h"
#include "server/tokens.h"

std::string mailAddressHash(std::string_view address) {
    static constexpr unsigned char key[] = "zifra-server mail address";
    std::string name = nameKey(address);
    unsigned char digest[32];
    crypto_generichash(digest, sizeof digest, reinterpret_cast<const unsigned char*>(name.data()), name.size(), key,
                       sizeof key - 1);
    char hex[2 * sizeof digest + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return hex;
}

bool mailRefused(SqlConnection& connection, std::string_view address) {
    return !connection.query("SELECT 1 FROM mail_refusals WHERE address_hash = $1", {mailAddressHash(address)}).empty();
}

std::string addRefusalLink(SqlConnection& connection, std::string_view address, std::int64_t now) {
    std::string token = newToken();
    connection.query("INSERT INTO refusal_links (token_hash, address_hash, created_at) VALUES ($1, $2, $3)",
                     {tokenHash(token), mailAddressHash(address), now});
    return token;
}

RefusalLink refusalLinkState(SqlConnection& connection, const std::string& token) {
    auto rows = connection.query(
        "SELECT r.refused_at FROM refusal_links l LEFT JOIN mail_refusals r ON r.address_hash = l.address_hash "
        "WHERE l.token_hash = $1",
        {tokenHash(token)});
    if (rows.empty()) return RefusalLink::unknown;
    return rows[0][0] ? RefusalLink::used : RefusalLink::open;
}

bool refuseMail(SqlConnection& connection, const std::string& token, std::int64_t now) {
    auto link = connection.query("SELECT address_hash FROM refusal_links WHERE token_hash = $1", {tokenHash(token)});
    if (link.empty()) return false;
    connection.query("INSERT INTO mail_refusals (address_hash, refused_at) VALUES ($1, $2) "
                     "ON CONFLICT (address_hash) DO NOTHING",
                     {*link[0][0], now});
    return true;
}
