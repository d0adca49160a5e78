#pragma once
// The pages of "Utmana dina vänner" and of an address's no-more-mail link,
// built from templates (html_template.h).
#include <string>
#include <vector>

#include "server/challenges.h"

// "/index2.htm" for a signed-in player: the form with the friends'
// addresses and the message, filled again with what was sent and its
// faults; `formToken` is the session's.
std::string challengeFormPage(const std::string& formToken, const ChallengeForm& sent,
                              const std::vector<std::string>& faults);

// "/index2.htm" after the challenge went: that it did, and nothing of
// what came of each friend.
std::string challengeSentPage();

// "/index2.htm" for a visitor: what a challenge is, and the way to sign in
// or up.
std::string challengeInfoPage();

// "/avsluta.htm?token=" of an address's link: the button that asks for no
// more mail, or that none will come.
std::string mailRefusalPage(const std::string& token, RefusalLink link);
