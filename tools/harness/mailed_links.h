#pragma once
// The links the service has mailed, read back from its outbox folder as a
// player would find them in the mailbox.
#include <filesystem>
#include <string>
#include <vector>

// The tokens of every link to `page` (e.g. "confirm.htm") in the outbox's
// messages to `to` (any recipient when empty).
std::vector<std::string> mailedTokens(const std::filesystem::path& outbox, const std::string& page,
                                      const std::string& to = "");
