// Mail that really goes out: over SMTP to a real server on loopback
// (aiosmtpd), queued in the database while that server is away and sent
// once it is back, even by another zifra-server after a kill; and without
// SMTP, into the outbox with every link on standard output.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "child_process.h"
#include "server/sql_connection.h"
#include "server_program.h"

namespace {

using namespace std::chrono_literals;

bool listening(int port) {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool up = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(s);
    return up;
}

std::string folderFor(const char* what) {
    std::string folder = testing::TempDir() + "zifra-" + what + "-" + std::to_string(getpid());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

void signUp(int port) {
    httplib::Client c("127.0.0.1", port);
    auto page = c.Post("/reg3.htm", httplib::Params{{"email", "anna@example.se"}, {"nickname", "Anna"},
                                                    {"password", "hemligt1"}, {"repeated", "hemligt1"}});
    ASSERT_TRUE(page);
    ASSERT_EQ(page->status, 200);
}

TEST(Smtp, MailWaitsInTheDatabaseUntilTheSmtpServerTakesIt) {
    std::string folder = folderFor("smtp");
    std::string db = "sqlite:" + folder + "/mail.db";
    int smtpPort = freeLoopbackPort();
    std::vector<std::string> options = {"--db", db, "--smtp", "smtp://127.0.0.1:" + std::to_string(smtpPort)};

    // No SMTP server yet: the mail is queued, tried, and kept.
    RunningServer first = startServerProgram(folder, options);
    ASSERT_GT(first.port, 0);
    signUp(first.port);
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(std::filesystem::exists(folder + "/outbox"));
    first.process->stop(SIGKILL);
    EXPECT_EQ(sqlInteger(openSqlConnection(db)->query("SELECT COUNT(*) FROM mail_queue")[0][0]), 1);

    ChildProcess smtp({"/usr/bin/env", "PYTHONUNBUFFERED=1", "/usr/bin/python3", "-m", "aiosmtpd", "-n", "-l",
                       "127.0.0.1:" + std::to_string(smtpPort)},
                      folder, std::nullopt, true);
    auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!listening(smtpPort) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(listening(smtpPort)) << "aiosmtpd did not start";

    RunningServer second = startServerProgram(folder, options);
    ASSERT_GT(second.port, 0);
    std::string received, token;
    const std::regex link("http://127\\.0\\.0\\.1:\\d+/confirm\\.htm\\?token=([A-Za-z0-9_-]+)");
    while (token.empty() && std::chrono::steady_clock::now() < deadline + 20s) {
        auto line = smtp.readLine(1s);
        if (!line) continue;
        received += *line + "\n";
        std::smatch match;
        if (std::regex_search(*line, match, link)) token = match[1];
    }
    ASSERT_FALSE(token.empty()) << received;
    EXPECT_NE(received.find("To: anna@example.se"), std::string::npos) << received;
    EXPECT_NE(received.find("From: Kvippa <noreply@127.0.0.1>"), std::string::npos) << received;

    httplib::Client c("127.0.0.1", second.port);
    EXPECT_EQ(c.Post("/confirm.htm", httplib::Params{{"token", token}})->status, 200) << "the mailed link works";
    deadline = std::chrono::steady_clock::now() + 5s;
    while (sqlInteger(openSqlConnection(db)->query("SELECT COUNT(*) FROM mail_queue")[0][0]) != 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(sqlInteger(openSqlConnection(db)->query("SELECT COUNT(*) FROM mail_queue")[0][0]), 0) << "sent, gone";
    second.process->stop(SIGTERM);
    smtp.stop(SIGTERM);
    std::filesystem::remove_all(folder);
}

TEST(Smtp, WithoutItMailIsAFileAndItsLinksArePrinted) {
    std::string folder = folderFor("outbox");
    RunningServer server = startServerProgram(folder, {"--db", "sqlite:" + folder + "/mail.db"});
    ASSERT_GT(server.port, 0);
    signUp(server.port);
    auto line = server.process->readLine(5s);
    ASSERT_TRUE(line);
    EXPECT_TRUE(std::regex_match(*line, std::regex("zifra-server: mailed link: http://127\\.0\\.0\\.1:" +
                                                   std::to_string(server.port) +
                                                   "/confirm\\.htm\\?token=[A-Za-z0-9_-]+")))
        << *line;
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder + "/outbox")) files += entry.path().extension() == ".eml";
    EXPECT_EQ(files, 1u);
    server.process->stop(SIGTERM);
    std::filesystem::remove_all(folder);
}

}  // namespace
