#include "server/access_log.h"

#include <ctime>
#include <stdexcept>

namespace {

constexpr std::size_t maxBacklog = 10000;
// A path longer than this is cut: it is whatever the client wrote.
constexpr std::size_t maxPathShown = 200;

// The path with anything but printable ASCII, quotes and backslashes as \xNN.
std::string shown(const std::string& path) {
    std::string out;
    for (std::size_t i = 0; i < path.size() && i < maxPathShown; ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 0x21 || c > 0x7e || c == '"' || c == '\\') {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (path.size() > maxPathShown) out += "...";
    return out;
}

}  // namespace

std::string accessLine(const ServedRequest& served, std::time_t when) {
    std::tm utc{};
    gmtime_r(&when, &utc);
    char time[32];
    std::strftime(time, sizeof time, "%Y-%m-%dT%H:%M:%SZ", &utc);
    char took[32];
    std::snprintf(took, sizeof took, "%.4f", std::chrono::duration<double>(served.took).count());
    const HttpRequest& r = *served.request;
    return std::string(time) + " " + (r.remoteAddress.empty() ? "-" : r.remoteAddress) + " \"" + shown(r.method) +
           " " + shown(r.path) + "\" " + std::to_string(served.status) + " " + took + " " +
           (served.route ? served.route->name : "refused");
}

AccessLog::AccessLog(const std::string& path)
    : file_(path == "-" ? stderr : std::fopen(path.c_str(), "a")), own_(path != "-") {
    if (!file_) throw std::runtime_error("cannot open the access log " + path);
    writer_ = std::thread([this] { run(); });
}

AccessLog::~AccessLog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_one();
    writer_.join();
    if (own_) std::fclose(file_);
}

void AccessLog::write(const ServedRequest& served) {
    std::string line = accessLine(served, std::time(nullptr)) + "\n";
    {
        std::lock_guard lock(mutex_);
        if (lines_.size() >= maxBacklog) {
            ++dropped_;
            return;
        }
        lines_.push_back(std::move(line));
    }
    ready_.notify_one();
}

void AccessLog::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ready_.wait(lock, [this] { return stopping_ || !lines_.empty(); });
        if (lines_.empty()) return;
        std::deque<std::string> batch;
        batch.swap(lines_);
        std::size_t dropped = dropped_;
        dropped_ = 0;
        lock.unlock();
        if (dropped > 0) std::fprintf(file_, "zifra-server: %zu access log lines dropped\n", dropped);
        for (const std::string& line : batch) std::fputs(line.c_str(), file_);
        std::fflush(file_);
        lock.lock();
    }
}
