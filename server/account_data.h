#pragma once
// "Download my data": everything the service keeps about a player, as
// JSON, but the hashes (of the password, of links and sessions, of client
// addresses), which tell the player nothing and would help a thief.
#include <cstdint>

#include <nlohmann/json.hpp>

#include "server/sql_connection.h"

nlohmann::ordered_json accountData(SqlConnection& connection, std::int64_t accountId);
