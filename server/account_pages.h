#pragma once
// The pages of a player's own account, built from templates: the sign-in
// form, and my pages (mina-sidor).
#include <string>

#include "server/html_template.h"

// "/logga-in.htm": the form, filled again with the address and with the
// fault of the last try; `next` is where the browser goes once signed in.
Html signInBody(const std::string& email, const std::string& next, const std::string& fault);
