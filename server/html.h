#pragma once
// Building the service's pages: every text from outside goes through
// htmlEscape on its way in.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text with & < > " ' as character references, safe in element content
// and in quoted attribute values.
std::string htmlEscape(std::string_view text);

// The faults of a sent form as a list, nothing when there are none.
std::string faultList(const std::vector<std::string>& faults);

// A required input of at most `maxLength` characters, filled with `value`.
std::string inputField(const std::string& label, const char* name, const char* type, const std::string& value,
                       std::size_t maxLength);

// Whom a page's nav bar is for: a visitor, who may sign in, or a signed-in
// player, whose sign-out form carries the session's form token.
struct NavBar {
    std::optional<std::string> formToken;
};

// A whole UTF-8 page in the service's look around `body`.
std::string htmlPage(std::string_view title, std::string_view body, const NavBar& nav = {});

// A date (calendar seconds) as YYYY-MM-DD in the server's time zone.
std::string calendarDate(std::int64_t seconds);
