#pragma once
// What every answer tells the browser to keep it safe: no framing by other
// sites, no outside loads, no scripts but the browser game's, no guessing at types, no address (and
// so no reset token) handed to other sites, and nothing kept of an answer
// that carries a token or a player's address.
#include "server/http_exchange.h"

enum class Keeping { mayCache, noStore };

// The service's own pages run no script; the browser game (/spela/) runs
// its own scripts and WebAssembly module, from the service alone.
enum class Scripts { none, webGame };

void addSafetyHeaders(HttpAnswer& answer, Keeping keeping, Scripts scripts = Scripts::none);
