#pragma once
// Building the service's pages: every text from outside goes through
// htmlEscape on its way in.
#include <cstdint>
#include <string>
#include <string_view>

// The text with & < > " ' as character references, safe in element content
// and in quoted attribute values.
std::string htmlEscape(std::string_view text);

// A whole UTF-8 page in the service's look around `body`.
std::string htmlPage(std::string_view title, std::string_view body);

// A date (calendar seconds) as YYYY-MM-DD in the server's time zone.
std::string calendarDate(std::int64_t seconds);
