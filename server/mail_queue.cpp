#include "server/mail_queue.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "server/metrics.h"

namespace {

using namespace std::chrono_literals;

// How long a server that took a message has to send it before another may.
constexpr std::int64_t sendingLease = 120;
constexpr auto pollEvery = 1s;

struct Reading {
    const std::string* text;
    std::size_t at = 0;
};

std::size_t readMore(char* buffer, std::size_t size, std::size_t count, void* state) {
    auto& reading = *static_cast<Reading*>(state);
    std::size_t n = std::min(size * count, reading.text->size() - reading.at);
    std::memcpy(buffer, reading.text->data() + reading.at, n);
    reading.at += n;
    return n;
}

std::int64_t retryAfter(std::int64_t tries) {
    std::int64_t wait = mailRetryFirst;
    for (std::int64_t i = 1; i < tries && wait < mailRetryLongest; ++i) wait *= 2;
    return std::min(wait, mailRetryLongest);
}

}  // namespace

std::string envelopeAddress(const std::string& header) {
    std::size_t open = header.rfind('<'), close = header.rfind('>');
    std::string address = open != std::string::npos && close != std::string::npos && open < close
                              ? header.substr(open + 1, close - open - 1)
                              : header;
    return "<" + address + ">";
}

std::string smtpSend(const SmtpSettings& smtp, const std::string& from, const std::string& to, const std::string& text) {
    CURL* curl = curl_easy_init();
    if (!curl) return "libcurl cannot start";
    curl_slist* recipients = curl_slist_append(nullptr, envelopeAddress(to).c_str());
    std::string sender = envelopeAddress(from);
    Reading reading{&text};
    curl_easy_setopt(curl, CURLOPT_URL, smtp.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, sender.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMore);
    curl_easy_setopt(curl, CURLOPT_READDATA, &reading);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 60L);
    if (smtp.user) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, smtp.user->c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, smtp.password.value_or("").c_str());
        // A password never goes out in the clear: smtp:// must then STARTTLS.
        curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    }
    CURLcode result = curl_easy_perform(curl);
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
    return result == CURLE_OK ? "" : curl_easy_strerror(result);
}

MailQueue::MailQueue(ConnectionPool& pool, SmtpSettings smtp) : pool_(pool), smtp_(std::move(smtp)) {
    static const CURLcode started = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (started != CURLE_OK) throw std::runtime_error("libcurl cannot start");
    sender_ = std::thread([this] { run(); });
}

MailQueue::~MailQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    sender_.join();
}

void queueMail(ConnectionPool& pool, const MailMessage& message, std::time_t now) {
    auto connection = pool.borrow();
    auto waiting = connection->query("SELECT COUNT(*) FROM mail_queue");
    if (sqlInteger(waiting[0][0]) >= maxQueuedMail) {
        serviceMetrics().mailFailed();
        throw std::runtime_error("the mail queue is full");
    }
    connection->query(
        "INSERT INTO mail_queue (sender, recipient, message, queued_at, tries, next_try_at) "
        "VALUES ($1, $2, $3, $4, 0, $4)",
        {message.from, message.to, mailText(message, now), std::int64_t{now}});
    serviceMetrics().mailQueued();
}

void MailQueue::send(const MailMessage& message, std::time_t now) {
    queueMail(pool_, message, now);
    wake_.notify_all();
}

void MailQueue::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        bool sent = false;
        try {
            sent = sendDue(static_cast<std::int64_t>(std::time(nullptr)));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "zifra-server: mail queue: %s\n", error.what());
        }
        lock.lock();
        if (!sent) wake_.wait_for(lock, pollEvery);
    }
}

bool MailQueue::sendDue(std::int64_t now) {
    SqlRow taken;
    {
        auto connection = pool_.borrow();
        // Taken for a while, so that another server does not send it too.
        auto rows = connection->query(
            "UPDATE mail_queue SET next_try_at = $1, tries = tries + 1 WHERE id = (SELECT id FROM mail_queue "
            "WHERE next_try_at <= $2 ORDER BY id LIMIT 1) AND next_try_at <= $2 "
            "RETURNING id, sender, recipient, message, tries",
            {now + sendingLease, now});
        if (rows.empty()) return false;
        taken = rows[0];
    }
    std::int64_t id = sqlInteger(taken[0]), tries = sqlInteger(taken[4]);
    std::string failure = smtpSend(smtp_, *taken[1], *taken[2], *taken[3]);
    auto connection = pool_.borrow();
    if (failure.empty()) {
        connection->query("DELETE FROM mail_queue WHERE id = $1", {id});
    } else if (tries >= mailTries) {
        std::fprintf(stderr, "zifra-server: a mail is given up after %lld tries: %s\n", static_cast<long long>(tries),
                     failure.c_str());
        connection->query("DELETE FROM mail_queue WHERE id = $1", {id});
        serviceMetrics().mailFailed();
    } else {
        std::fprintf(stderr, "zifra-server: a mail could not be sent (try %lld): %s\n", static_cast<long long>(tries),
                     failure.c_str());
        connection->query("UPDATE mail_queue SET next_try_at = $2 WHERE id = $1", {id, now + retryAfter(tries)});
    }
    return true;
}
