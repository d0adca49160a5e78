#pragma once
// zifra-server's command line.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ServerOptions {
    std::string host = "127.0.0.1";
    int port = 8080;
    std::string databaseUrl = "sqlite:zifra-competition.db";
    std::optional<std::string> buildsFile;
    std::int32_t version = 3;
    bool help = false;
};

struct ParsedOptions {
    ServerOptions options;
    std::string fault;  // one line; empty when the command line was good
};

ParsedOptions parseServerOptions(const std::vector<std::string>& arguments);

// What --help prints.
std::string serverUsage();
