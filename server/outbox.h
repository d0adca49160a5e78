#pragma once
// Mail from the service without an SMTP server: each message an RFC 5322
// file in a folder that the installation's mail transport picks up and
// sends (see mail_queue.h for sending over SMTP).
#include <ctime>
#include <filesystem>
#include <string>

struct MailMessage {
    std::string from, to, subject, body;  // UTF-8; the body's lines end in \n
};

// The message as an RFC 5322 text: UTF-8 in 8 bits, lines ended by CR LF.
std::string mailText(const MailMessage& message, std::time_t now);

class Outbox {
public:
    explicit Outbox(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Writes the message under a name of its own; it appears whole (written
    // aside, then renamed). Throws std::runtime_error when it cannot.
    void send(const MailMessage& message, std::time_t now) const;

private:
    std::filesystem::path folder_;
};
