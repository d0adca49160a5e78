#pragma once
// Programs the tests and the benchmark start and stop themselves, by their
// process id, with every wait bounded.
#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

class ChildProcess {
public:
    // Starts `argv` in `workingDirectory`; as `user` when given and running
    // as root. Its standard output comes through a pipe when `readOutput`.
    ChildProcess(const std::vector<std::string>& argv, const std::string& workingDirectory = ".",
                 const std::optional<std::string>& user = std::nullopt, bool readOutput = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // The next line of its output, or nothing once it ends or `limit` passes.
    std::optional<std::string> readLine(std::chrono::milliseconds limit);
    // Its exit status, or nothing while it still runs after `limit`.
    std::optional<int> wait(std::chrono::milliseconds limit);
    // Sends the signal; waits up to `limit` and then kills it.
    void stop(int signal, std::chrono::milliseconds limit = std::chrono::seconds(20));

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
    std::optional<int> status_;
};

// A TCP port on 127.0.0.1 that nothing listens on right now.
int freeLoopbackPort();
