#pragma once
// The service's pages, in Swedish, plain HTML that needs no JavaScript.
#include <cstdint>
#include <string>
#include <vector>

#include "server/competition_service.h"

struct TopList {
    const Game* game;
    std::vector<Placing> placings;
};

// "/" and "/index2.htm": every game's ten best, the rules, the links (to
// the browser game too when `webGame` is served).
std::string startPage(const std::vector<TopList>& lists, bool webGame = false);

// "/reg3.htm": the sign-up form, filled again with what was sent and the
// faults found in it; `done` thanks the new player instead.
std::string signUpPage(const SignUpForm& sent, const std::vector<std::string>& faults, bool done);

// "/reg2.htm": the game's user name is not signed up.
std::string notSignedUpPage();

// "/getpass.htm": the form that asks for a reset link for `mail`; `asked`
// tells that the request has been taken.
std::string passwordHelpPage(const std::string& mail, bool asked);

// "/reset.htm": the form for a new password through a reset link.
enum class ResetStep { choose, faulty, done, deadLink };
std::string resetPage(const std::string& token, ResetStep step, const std::vector<std::string>& faults);

// "/version.htm?gameid=N": version N of the game, or that there is none.
std::string versionPage(std::int64_t version, std::int32_t newest);

std::string notFoundPage();
std::string forbiddenPage();

// "/api/top": one game's ten best as JSON.
std::string topListJson(std::int32_t gameId, const std::vector<Placing>& placings);
