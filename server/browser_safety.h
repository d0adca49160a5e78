#pragma once
// What every answer tells the browser to keep it safe: no framing by other
// sites, no scripts or outside loads, no guessing at types, no address (and
// so no reset token) handed to other sites, and nothing kept of an answer
// that carries a token or a player's address.
#include "server/http_exchange.h"

enum class Keeping { mayCache, noStore };

void addSafetyHeaders(HttpAnswer& answer, Keeping keeping);
