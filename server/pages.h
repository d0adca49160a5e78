#pragma once
// The service's pages, in Swedish, plain HTML that needs no JavaScript.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/competition_service.h"
#include "server/html_template.h"

// "/": the current period and its end, each current
// game's ten best in it and of all time, the period's collective ranking,
// the game's own texts of the competition rules and of Kvippa (naming the
// site `siteName`), the links (to the browser game too when `webGame` is
// served).
Html startPage(const ContestView& view, std::string_view siteName, bool webGame = false);

// "/reg3.htm": the sign-up form, filled again with what was sent and the
// faults found in it (a challenge link's token rides along hidden); `done`
// thanks the new player instead.
Html signUpPage(const SignUpForm& sent, const std::vector<std::string>& faults, bool done);

// "/reg2.htm": the game's user name is not signed up.
Html notSignedUpPage();

// "/getpass.htm": the form that asks for a reset link for `mail`; `asked`
// tells that the request has been taken.
Html passwordHelpPage(const std::string& mail, bool asked);

// "/reset.htm": the form for a new password through a reset link.
enum class ResetStep { choose, faulty, done, deadLink };
Html resetPage(const std::string& token, ResetStep step, const std::vector<std::string>& faults);

// "/confirm.htm": the button that confirms an address through the mailed
// link, what came of it, or that the link is dead.
enum class ConfirmStep { ask, done, deadLink };
Html confirmPage(const std::string& token, ConfirmStep step);

// "/version.htm?gameid=N": version N of the game when `known` is done, or
// that there is none and which is the newest.
Html versionPage(std::int64_t version, std::int32_t newest, Outcome known);

Html notFoundPage();
Html forbiddenPage();

// "/api/top": one game's ten best in the period (none: null and an empty
// list) and of all time, as JSON.
std::string topListJson(const std::optional<Period>& period, const GameLists& lists);

// "/api/collective": the period's collective ranking as JSON.
std::string collectiveJson(const std::optional<Period>& period, const std::vector<CollectivePlacing>& list);

// A time as "YYYY-MM-DD HH:MM UTC".
std::string utcTime(std::int64_t seconds);
