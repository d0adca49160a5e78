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
    std::optional<std::string> site;
    std::optional<std::string> webFolder;  // the browser game's files, served under /spela/  // "http://host[:port]" or "https://...", without a trailing slash
    std::int32_t version = 3;
    bool verifiedOnly = false;
    bool help = false;
};

struct ParsedOptions {
    ServerOptions options;
    std::string fault;  // one line; empty when the command line was good
};

ParsedOptions parseServerOptions(const std::vector<std::string>& arguments);

// The service's address when --site is not given: http:// and the listening
// address, an IPv6 address in brackets, the port left out when it is 80.
std::string listeningSite(const std::string& host, int port);

// What --help prints.
std::string serverUsage();
