// zifra-server refuses a bad start with one line and a non-zero exit.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "child_process.h"

namespace {

// A port on 127.0.0.1 that another program listens on, and never answers.
class TakenPort {
public:
    TakenPort() : socket_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        EXPECT_EQ(bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(listen(socket_, 16), 0);
        EXPECT_EQ(getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length), 0);
        port_ = ntohs(address.sin_port);
    }
    ~TakenPort() { close(socket_); }
    std::string port() const { return std::to_string(port_); }

private:
    int socket_;
    int port_ = 0;
};

TEST(ServerProgram, ABadStartIsOneLineOnStandardErrorAndAFailure) {
    std::string folder = testing::TempDir() + "zifra-program-" + std::to_string(getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/bad-builds.txt") << "12 x\n";
    int anyPort = freeLoopbackPort();
    TakenPort taken;
    const std::vector<std::string> starts[] = {
        {"--bogus"},
        {"--listen", "nowhere"},
        {"--db", "postgresql://zifra@127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/zifra"},
        {"--db", "postgresql://zifra@127.0.0.1:" + taken.port() + "/zifra"},  // connects, and never answers
        {"--db", "sqlite:" + folder + "/no/such/folder/x.db"},
        {"--builds", folder + "/missing.txt"},
        {"--builds", folder + "/bad-builds.txt"},
        {"--web", folder + "/no-game"},
        {"--listen", "203.0.113.1:" + std::to_string(anyPort)},
        {"--listen", "127.0.0.1:" + taken.port()},
    };
    for (const auto& options : starts) {
        // Every start on a port of its own and a good database, unless the case says otherwise.
        std::vector<std::string> argv = {ZIFRA_SERVER_PROGRAM, "--listen", "127.0.0.1:0", "--db",
                                         "sqlite:" + folder + "/ok.db"};
        argv.insert(argv.end(), options.begin(), options.end());
        std::string errors = folder + "/stderr.txt";
        std::vector<std::string> shell = {"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>" + errors};
        shell.insert(shell.end(), argv.begin(), argv.end());
        ChildProcess program(shell, folder, std::nullopt, true);
        EXPECT_EQ(program.wait(std::chrono::seconds(30)), 1) << options[0];
        EXPECT_FALSE(program.readLine(std::chrono::milliseconds(100))) << "nothing on standard output";
        std::ifstream text(errors);
        std::string line, more;
        std::getline(text, line);
        EXPECT_EQ(line.rfind("zifra-server: ", 0), 0u) << line;
        EXPECT_FALSE(std::getline(text, more)) << "a second line: " << more;
        EXPECT_FALSE(std::filesystem::exists(folder + "/ok.db")) << options.back() << ": nothing half-started";
    }
    std::filesystem::remove_all(folder);
}

TEST(ServerProgram, HelpNamesEveryOption) {
    ChildProcess program({ZIFRA_SERVER_PROGRAM, "--help"}, ".", std::nullopt, true);
    std::string text;
    while (auto line = program.readLine(std::chrono::seconds(10))) text += *line + "\n";
    EXPECT_EQ(program.wait(std::chrono::seconds(10)), 0);
    for (const char* option : {"--listen", "--db", "--builds", "--version", "--site", "--connections-per-address",
                               "--access-log", "--sign-ups-per-address", "--proxy", "--smtp",
                               "--smtp-user", "--smtp-password-file", "--help"}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }
}

TEST(ServerProgram, AdminAnswersBadUseWithOneLineOnStandardErrorAndExitCode2) {
    std::string folder = testing::TempDir() + "zifra-admin-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    std::string errors = folder + "/stderr.txt";
    ChildProcess program({"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>" + errors, ZIFRA_SERVER_PROGRAM, "admin", "--db",
                          "sqlite:" + folder + "/a.db", "period", "open", "V1"},
                         folder, std::nullopt, true);
    EXPECT_EQ(program.wait(std::chrono::seconds(10)), 2);
    EXPECT_FALSE(program.readLine(std::chrono::milliseconds(100))) << "nothing on standard output";
    std::stringstream text;
    text << std::ifstream(errors).rdbuf();
    EXPECT_EQ(text.str(), "zifra-server admin: period open needs --start\n");
    std::filesystem::remove_all(folder);
}

}  // namespace
