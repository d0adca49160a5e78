#pragma once
// Deleting an account at its owner's word: everything kept of the player
// goes, in the caller's transaction, so that the address can sign up anew
// and nothing else breaks. Its scores go with it, and so leave every list;
// a closed period's winners stay frozen and keep the nickname alone, with
// nothing that leads back to the account; players it referred keep their
// accounts without a referrer, and its challenges go (the friends' own
// record of no more mail stays); the organiser's audit names the address
// no more.
#include <cstdint>

#include "server/sql_connection.h"

void eraseAccount(SqlConnection& connection, std::int64_t accountId);
