#include "server_program.h"

#include <gtest/gtest.h>

#include <regex>

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
