#pragma once
// The pages of a player's own account, built from templates: the sign-in
// form, and my pages (mina-sidor).
#include <string>
#include <vector>

#include "server/html_template.h"
#include "server/my_page.h"
#include "server/sessions.h"

// "/logga-in.htm": the form, filled again with the address and with the
// fault of the last try; `next` is where the browser goes once signed in.
Html signInBody(const std::string& email, const std::string& next, const std::string& fault);

// "/mina-sidor": the player's bests, scores and challenges, and the forms
// that change the account, each carrying the session's form token; the
// faults of the form just sent above them.
Html myPageBody(const MyPage& page, const Session& session, const std::vector<std::string>& faults);

// "/mina-sidor/ny-epost?token=": the button that makes an e-mail change
// through its mailed link, what came of it, or that the link is dead.
enum class EmailChangeStep { ask, done, faulty };
Html emailChangeBody(const std::string& token, EmailChangeStep step, const std::vector<std::string>& faults);

// After "/mina-sidor/radera".
Html deletedBody();
