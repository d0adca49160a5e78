#pragma once
// One line for every request: when, from where, the method and path (never
// the query, where reset tokens and addresses travel), the status, how long
// it took and the route's name. Nothing from a form or a header is
// written. Lines go out on a thread of their own, so a slow disk or journal
// never holds up the server; past a bounded backlog they are dropped and
// counted.
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "server/http_server.h"

class AccessLog {
public:
    // Appends to the file at `path`, or writes to standard error for "-".
    // Throws std::runtime_error when the file cannot be opened.
    explicit AccessLog(const std::string& path);
    // Writes what is waiting, then closes.
    ~AccessLog();
    AccessLog(const AccessLog&) = delete;
    AccessLog& operator=(const AccessLog&) = delete;

    void write(const ServedRequest& served);

private:
    void run();

    std::FILE* file_;
    bool own_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> lines_;
    std::size_t dropped_ = 0;
    bool stopping_ = false;
    std::thread writer_;
};

// The line written for the request, without its newline.
std::string accessLine(const ServedRequest& served, std::time_t when);
