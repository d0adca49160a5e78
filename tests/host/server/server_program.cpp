#include "server_program.h"

#include <gtest/gtest.h>

#include <httplib.h>

#include <regex>

#include "mailed_links.h"

void confirmMailedAddresses(const std::string& folder, int port) {
    httplib::Client c("127.0.0.1", port);
    for (const std::string& token : mailedTokens(folder + "/outbox", "confirm.htm")) {
        auto done = c.Post("/confirm.htm", httplib::Params{{"token", token}});
        EXPECT_TRUE(done && (done->status == 200 || done->status == 410));
    }
}

RunningServer startServerProgram(const std::string& folder, const std::vector<std::string>& options) {
    std::vector<std::string> argv = {ZIFRA_SERVER_PROGRAM, "--listen", "127.0.0.1:0"};
    argv.insert(argv.end(), options.begin(), options.end());
    RunningServer server;
    server.process = std::make_unique<ChildProcess>(argv, folder, std::nullopt, true);
    auto line = server.process->readLine(std::chrono::seconds(30));
    std::smatch match;
    if (line && std::regex_match(*line, match, std::regex("zifra-server: listening on http://127\\.0\\.0\\.1:(\\d+)"))) {
        server.port = std::stoi(match[1]);
    } else {
        ADD_FAILURE() << "zifra-server did not start: " << line.value_or("(no output)");
    }
    return server;
}
