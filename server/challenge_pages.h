#pragma once
// The pages of "Utmana dina vänner" and of an address's no-more-mail link,
// built from templates (html_template.h).
#include <string>
#include <vector>

#include "server/challenges.h"
#include "server/html_template.h"

// The bodies of "/index2.htm", for the page around them (signed_in.h):
// for a signed-in player the form with the friends' addresses and the
// message, filled again with what was sent and its faults, `formField`
// the session's hidden form token;
Html challengeFormBody(const Html& formField, const ChallengeForm& sent, const std::vector<std::string>& faults);
// after the challenge went, that it did, and nothing of what came of each
// friend;
Html challengeSentBody();
// for a visitor, what a challenge is and the way to sign in or up.
Html challengeInfoBody();

// "/avsluta.htm?token=" of an address's link: the button that asks for no
// more mail, or that none will come.
Html mailRefusalPage(const std::string& token, RefusalLink link);
