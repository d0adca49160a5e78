#include "server/metrics.h"

#include <cstdio>

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

void header(std::string& out, const char* name, const char* type, const char* help) {
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
}

}  // namespace

void Histogram::observe(std::chrono::steady_clock::duration took) {
    double value = std::chrono::duration<double>(took).count();
    std::size_t i = 0;
    while (i < bounds.size() && value > bounds[i]) ++i;
    ++counts_[i];
    sum_ += value;
    ++count_;
}

std::string Histogram::render(const std::string& name, const std::string& labels) const {
    std::string out, prefix = labels.empty() ? "" : labels + ",";
    std::uint64_t cumulative = 0;
    for (std::size_t i = 0; i < bounds.size(); ++i) {
        cumulative += counts_[i];
        out += name + "_bucket{" + prefix + "le=\"" + number(bounds[i]) + "\"} " + std::to_string(cumulative) + "\n";
    }
    out += name + "_bucket{" + prefix + "le=\"+Inf\"} " + std::to_string(count_) + "\n";
    std::string braces = labels.empty() ? "" : "{" + labels + "}";
    out += name + "_sum" + braces + " " + number(sum_) + "\n";
    out += name + "_count" + braces + " " + std::to_string(count_) + "\n";
    return out;
}

void ServiceMetrics::served(const std::string& route, int status, std::chrono::steady_clock::duration took) {
    std::lock_guard lock(mutex_);
    ++requests_[{route, status}];
    durations_[route].observe(took);
}

void ServiceMetrics::answered(AnswerCode code) {
    std::lock_guard lock(mutex_);
    ++answers_[answerNumber(code)];
}

void ServiceMetrics::waited(Wait what, std::chrono::steady_clock::duration took) {
    std::lock_guard lock(mutex_);
    (what == Wait::hashing ? hashingWait_ : databaseWait_).observe(took);
}

void ServiceMetrics::countConnectionsBy(std::function<std::size_t()> open) {
    std::lock_guard lock(mutex_);
    open_ = std::move(open);
}

std::string ServiceMetrics::render() {
    std::lock_guard lock(mutex_);
    std::string out;
    header(out, "zifra_http_requests_total", "counter", "HTTP requests answered, by route and status.");
    for (const auto& [key, count] : requests_) {
        out += "zifra_http_requests_total{route=\"" + key.first + "\",status=\"" + std::to_string(key.second) +
               "\"} " + std::to_string(count) + "\n";
    }
    header(out, "zifra_http_request_duration_seconds", "histogram",
           "From a request being all in to its answer being sent, by route.");
    for (const auto& [route, histogram] : durations_) {
        out += histogram.render("zifra_http_request_duration_seconds", "route=\"" + route + "\"");
    }
    header(out, "zifra_submissions_total", "counter", "Score submissions, by the answer code sent to the game.");
    for (const auto& [code, count] : answers_) {
        out += "zifra_submissions_total{code=\"" + std::to_string(code) + "\"} " + std::to_string(count) + "\n";
    }
    header(out, "zifra_hashing_wait_seconds", "histogram", "Waits for a turn at hashing a password.");
    out += hashingWait_.render("zifra_hashing_wait_seconds", "");
    header(out, "zifra_database_wait_seconds", "histogram", "Waits for a database connection.");
    out += databaseWait_.render("zifra_database_wait_seconds", "");
    header(out, "zifra_http_connections_open", "gauge", "HTTP connections open now.");
    out += "zifra_http_connections_open " + std::to_string(open_ ? open_() : 0) + "\n";
    header(out, "zifra_mail_queued_total", "counter", "Mail messages queued for sending.");
    out += "zifra_mail_queued_total " + std::to_string(mailQueued_.load()) + "\n";
    header(out, "zifra_mail_failed_total", "counter", "Mail messages that could not be queued or sent.");
    out += "zifra_mail_failed_total " + std::to_string(mailFailed_.load()) + "\n";
    return out;
}

ServiceMetrics& serviceMetrics() {
    static ServiceMetrics metrics;
    return metrics;
}
