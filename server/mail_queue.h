#pragma once
// Mail sent over SMTP (libcurl): each message is queued in the database,
// so that it survives a restart and any server in front of the database may
// send it, and a thread of each server sends what is due, trying again
// later while the SMTP server fails.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "server/connection_pool.h"
#include "server/outbox.h"

struct SmtpSettings {
    std::string url;  // smtp://host[:port] or smtps://host[:port]
    std::optional<std::string> user, password;
};

// Messages waiting at most; past that new mail is refused (and counted
// as failed) rather than the queue growing without end.
inline constexpr std::int64_t maxQueuedMail = 10000;
// Tries of one message before it is given up.
inline constexpr std::int64_t mailTries = 10;
// The wait after the first failed try; it doubles up to mailRetryLongest.
inline constexpr std::int64_t mailRetryFirst = 2;
inline constexpr std::int64_t mailRetryLongest = 30 * 60;

class MailQueue {
public:
    MailQueue(ConnectionPool& pool, SmtpSettings smtp);
    // Stops the sending thread; what is queued stays queued.
    ~MailQueue();
    MailQueue(const MailQueue&) = delete;
    MailQueue& operator=(const MailQueue&) = delete;

    // Queues the message. Throws std::runtime_error when the queue is full.
    void send(const MailMessage& message, std::time_t now);

private:
    void run();
    // Sends one due message, if any; false when none was due.
    bool sendDue(std::int64_t now);

    ConnectionPool& pool_;
    SmtpSettings smtp_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread sender_;
};

// Queues the message for whichever server sends the queue; what a server
// without a sender of its own (`zifra-server admin`) sends by. Throws
// std::runtime_error when the queue is full.
void queueMail(ConnectionPool& pool, const MailMessage& message, std::time_t now);

// The envelope address of a header's "Name <address>" or bare address.
std::string envelopeAddress(const std::string& header);
// Sends one RFC 5322 text; the failure in a line, empty when it was sent.
std::string smtpSend(const SmtpSettings& smtp, const std::string& from, const std::string& to, const std::string& text);
