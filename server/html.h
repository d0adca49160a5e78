#pragma once
// The parts every page of the service shares, built from templates
// (html_template.h), so that every text from outside is escaped on its way in.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/html_template.h"
#include "server/http_exchange.h"
#include "server/outcome.h"

// The faults of a sent form as a list, nothing when there are none.
Html faultList(const std::vector<std::string>& faults);

// A required input of at most `maxLength` characters, filled with `value`.
Html inputField(std::string_view label, std::string_view name, std::string_view type, std::string_view value,
                std::size_t maxLength);

// A checkbox that sends "ja" when ticked, with its label beside it.
Html checkboxField(std::string_view label, std::string_view name, bool checked);

// Whom a page's nav bar is for: a visitor, who may sign in, or a signed-in
// player, whose sign-out form carries the session's form token.
struct NavBar {
    std::optional<std::string> formToken;
};

// A whole UTF-8 page in the service's look around `body`.
Html htmlPage(std::string_view title, const Html& body, const NavBar& nav = {});

// A page as the answer to a call, with the status of what came of it.
HttpAnswer pageAnswer(Outcome outcome, const Html& page);

// A date (calendar seconds) as YYYY-MM-DD in the server's time zone.
std::string calendarDate(std::int64_t seconds);
