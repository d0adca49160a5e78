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
    std::optional<std::string> proxy;  // the reverse proxy's address, whose X-Real-IP is believed
    std::optional<std::string> accessLog;
    std::optional<std::string> smtp, smtpUser, smtpPasswordFile;  // smtp://host[:port] or smtps://...  // a file, or "-" for standard error
    std::optional<std::string> site;  // "http://host[:port]" or "https://...", without a trailing slash
    std::optional<std::string> webFolder;  // the browser game's files, served under /spela/
    std::int32_t version = 3;
    std::size_t connectionsPerAddress = 32;
    std::int64_t signUpsPerAddress = 5;  // in an hour; 0: no limit  // open at once from one client address; 0: no limit
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
