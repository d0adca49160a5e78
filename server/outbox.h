#pragma once
// Mail from the service without an SMTP server: each message an RFC 5322
// file in a folder that the installation's mail transport picks up and
// sends (see mail_queue.h for sending over SMTP).
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct MailMessage {
    std::string from, to, subject, body;  // UTF-8; the body's lines end in \n
    std::vector<std::string> headers;  // further header lines, ASCII, without CR LF
};

// The message as an RFC 5322 text: UTF-8 in 8 bits, lines ended by CR LF.
std::string mailText(const MailMessage& message, std::time_t now);

// The host of the service's public address, "http://host[:port]", an IPv6
// address with its brackets.
std::string siteHost(std::string_view site);

// The sender of the service's mail: noreply at the host of its public address.
std::string serviceSender(std::string_view site);

// Where the service's mail goes: the outbox folder, or the SMTP queue
// (mail_queue.h).
using SendMail = std::function<void(const MailMessage&, std::time_t)>;

class Outbox {
public:
    explicit Outbox(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Writes the message under a name of its own; it appears whole (written
    // aside, then renamed). Throws std::runtime_error when it cannot.
    void send(const MailMessage& message, std::time_t now) const;

private:
    std::filesystem::path folder_;
};
