#pragma once
// `zifra-server admin`: the organiser's command line on the service's own
// database. Every change it makes is audited with who made it: the --as
// name, else the user running it.
//
//   admin [--db URL] [--site URL] [--as NAME] [--verified-only] [--queue-mail] COMMAND ...
//     game add ID NAME | game list | game retire ID
//     period open NAME --start ISO --end ISO | period close NAME | period list
//     winners NAME
//     score list [--player EMAIL] [--game ID]
//     score hide ID --reason TEXT | score restore ID [--reason TEXT]
//     account ban EMAIL --reason TEXT | account unban EMAIL [--reason TEXT]
//     export NAME
//     audit
//     news send --subject TEXT --body-file FILE
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Exit codes: done, could not be done (unknown name, database away), bad use.
inline constexpr int adminDone = 0, adminFailed = 1, adminMisused = 2;

struct AdminResult {
    int exitCode = adminDone;
    std::string output;  // for standard output
    std::string error;  // one line, for standard error
};

struct AdminEnvironment {
    std::string user;  // who runs it, when --as is not given
    std::function<std::int64_t()> clock;  // calendar seconds; the system's when empty
    std::string outbox = "outbox";  // where mail is written without --queue-mail, as the server's is
};

// Runs the arguments after "admin".
AdminResult runAdmin(const std::vector<std::string>& arguments, const AdminEnvironment& environment);

// An ISO 8601 UTC time, "YYYY-MM-DD", "YYYY-MM-DDTHH:MM[:SS]" with an
// optional "Z", as calendar seconds; nothing for anything else.
std::optional<std::int64_t> parseUtcTime(const std::string& text);

// A CSV field, quoted when it holds a comma, a quote, a line break or
// spaces at its ends; one that a spreadsheet would take for a formula
// (beginning with = + - @, a tab or a CR) begins with ' and is quoted.
std::string csvField(const std::string& text);

// What `admin --help` prints.
std::string adminUsage();
