// zifra-server refuses a bad start with one line and a non-zero exit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "child_process.h"

namespace {

TEST(ServerProgram, ABadStartIsOneLineOnStandardErrorAndAFailure) {
    std::string folder = testing::TempDir() + "zifra-program-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/bad-builds.txt") << "12 x\n";
    int taken = freeLoopbackPort();
    const std::vector<std::string> starts[] = {
        {"--bogus"},
        {"--listen", "nowhere"},
        {"--db", "postgresql://zifra@127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/zifra"},
        {"--db", "sqlite:" + folder + "/no/such/folder/x.db"},
        {"--builds", folder + "/missing.txt"},
        {"--builds", folder + "/bad-builds.txt"},
        {"--listen", "203.0.113.1:" + std::to_string(taken)},
    };
    for (const auto& options : starts) {
        std::vector<std::string> argv = {ZIFRA_SERVER_PROGRAM, "--db", "sqlite:" + folder + "/ok.db"};
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
    }
    std::filesystem::remove_all(folder);
}

TEST(ServerProgram, HelpNamesEveryOption) {
    ChildProcess program({ZIFRA_SERVER_PROGRAM, "--help"}, ".", std::nullopt, true);
    std::string text;
    while (auto line = program.readLine(std::chrono::seconds(10))) text += *line + "\n";
    EXPECT_EQ(program.wait(std::chrono::seconds(10)), 0);
    for (const char* option : {"--listen", "--db", "--builds", "--version", "--help"}) {
        EXPECT_NE(text.find(option), std::string::npos) << option;
    }
}

}  // namespace
