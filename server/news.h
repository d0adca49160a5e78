#pragma once
// News by mail to the players who asked for it at sign-up. Every mail has
// a link of its own that ends the subscription with one click, from a mail
// program too (RFC 8058); the links are kept as their hashes.
#include <cstdint>
#include <functional>
#include <string>

#include "server/contest_store.h"
#include "server/outbox.h"
#include "server/outcome.h"

struct NewsLetter {
    std::string subject, body;  // UTF-8; the body's lines end in \n
};

class News {
public:
    News(ConnectionPool& pool, std::string site, SendMail mail, std::function<std::int64_t()> clock);

    // Mails every subscriber whose address is confirmed (so that nobody is
    // sent news on a sign-up someone else made with their address), whose
    // account is not banned and whose address has not asked for no more
    // mail (mail_refusals.h), and audits it;
    // returns how many were mailed.
    std::size_t send(const NewsLetter& letter, const AuditNote& note);

    // done while the link's account gets news, else gone.
    Outcome subscription(const std::string& token);
    // Ends the subscription of the link's account: done, or gone for a link
    // that is unknown.
    Outcome unsubscribe(const std::string& token);

private:
    std::int64_t now() const;

    ConnectionPool& pool_;
    std::string site_;
    SendMail mail_;
    std::function<std::int64_t()> clock_;
};
