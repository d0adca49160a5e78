#pragma once
// What the operator sees of the running service, in Prometheus's text
// format at /metrics: requests by route and status and how long they took,
// score answers by code, the waits for a turn at hashing and for a database
// connection, open connections, and mail. One set for the whole process:
// the waits are measured deep inside the service, where no request object
// reaches.
#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "net/answer_codes.h"

// Counts of observations by upper bound, in seconds.
class Histogram {
public:
    static constexpr std::array<double, 12> bounds = {0.001, 0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10};
    void observe(std::chrono::steady_clock::duration took);
    // The series "NAME_bucket{LABELS,le=...}", "NAME_sum", "NAME_count".
    std::string render(const std::string& name, const std::string& labels) const;

private:
    std::array<std::uint64_t, bounds.size() + 1> counts_{};
    double sum_ = 0;
    std::uint64_t count_ = 0;
};

enum class Wait { hashing, database };

class ServiceMetrics {
public:
    void served(const std::string& route, int status, std::chrono::steady_clock::duration took);
    void answered(AnswerCode code);
    void waited(Wait what, std::chrono::steady_clock::duration took);
    void mailQueued() { ++mailQueued_; }
    void mailFailed() { ++mailFailed_; }
    // Where the number of open connections comes from.
    void countConnectionsBy(std::function<std::size_t()> open);

    std::string render();

private:
    std::mutex mutex_;
    std::map<std::pair<std::string, int>, std::uint64_t> requests_;
    std::map<std::string, Histogram> durations_;
    std::map<int, std::uint64_t> answers_;
    Histogram hashingWait_, databaseWait_;
    std::function<std::size_t()> open_;
    std::atomic<std::uint64_t> mailQueued_ = 0, mailFailed_ = 0;
};

ServiceMetrics& serviceMetrics();
