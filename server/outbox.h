#pragma once
// Mail from the service: each message an RFC 5322 file in a folder that the
// installation's mail transport picks up and sends.
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct MailMessage {
    std::string from, to, subject, body;  // UTF-8; the body's lines end in \n
    std::vector<std::string> headers;  // further header lines, ASCII, without CR LF
};

// The host of the service's public address, "http://host[:port]", an IPv6
// address with its brackets.
std::string siteHost(std::string_view site);

// The sender of the service's mail: noreply at the host of its public address.
std::string serviceSender(std::string_view site);

class Outbox {
public:
    explicit Outbox(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Writes the message under a name of its own; it appears whole (written
    // aside, then renamed). Throws std::runtime_error when it cannot.
    void send(const MailMessage& message, std::time_t now) const;

private:
    std::filesystem::path folder_;
};
