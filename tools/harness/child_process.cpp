#include "child_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& workingDirectory,
                           const std::optional<std::string>& user, bool readOutput) {
    int pipeEnds[2] = {-1, -1};
    if (readOutput && pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const passwd* account = user && geteuid() == 0 ? getpwnam(user->c_str()) : nullptr;
    if (user && geteuid() == 0 && !account) throw std::runtime_error("no such user: " + *user);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        if (readOutput) dup2(pipeEnds[1], STDOUT_FILENO);
        if (chdir(workingDirectory.c_str()) != 0) _exit(126);
        if (account && (setgid(account->pw_gid) != 0 || setuid(account->pw_uid) != 0)) _exit(126);
        // A test program killed on its time-out takes its children with it.
        prctl(PR_SET_PDEATHSIG, SIGINT);
        if (getppid() == 1) _exit(126);
        execv(args[0], args.data());
        _exit(127);
    }
    if (readOutput) {
        close(pipeEnds[1]);
        output_ = pipeEnds[0];
    }
}

ChildProcess::~ChildProcess() {
    stop(SIGKILL);
    if (output_ >= 0) close(output_);
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds limit) {
    auto deadline = Clock::now() + limit;
    while (true) {
        std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (output_ < 0 || left <= 0) return std::nullopt;
        pollfd p{output_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char chunk[512];
        ssize_t got = read(output_, chunk, sizeof chunk);
        if (got <= 0) return std::nullopt;
        pending_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds limit) {
    auto deadline = Clock::now() + limit;
    while (!status_ && pid_ > 0) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (Clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status_;
}

void ChildProcess::stop(int signal, std::chrono::milliseconds limit) {
    if (pid_ <= 0 || status_) return;
    kill(pid_, signal);
    if (!wait(limit)) {
        kill(pid_, SIGKILL);
        wait(std::chrono::seconds(10));
    }
}

int freeLoopbackPort() {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        close(s);
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    close(s);
    return ntohs(address.sin_port);
}
