#include "server/server_options.h"

#include <charconv>

namespace {

template <typename T>
bool wholeNumber(const std::string& text, T& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc{} && end == text.data() + text.size();
}

// "HOST:PORT", the host possibly a bracketed IPv6 address.
bool parseListen(const std::string& text, ServerOptions& options) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string host = text.substr(0, colon);
    if (host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    int port = 0;
    if (!wholeNumber(text.substr(colon + 1), port) || port < 0 || port > 65535 || host.empty()) return false;
    options.host = host;
    options.port = port;
    return true;
}

}  // namespace

ParsedOptions parseServerOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    ServerOptions& o = parsed.options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            o.help = true;
            continue;
        }
        if (name != "--listen" && name != "--db" && name != "--builds" && name != "--version") {
            parsed.fault = "unknown option " + name + " (see --help)";
            return parsed;
        }
        if (i + 1 == arguments.size()) {
            parsed.fault = name + " needs a value (see --help)";
            return parsed;
        }
        const std::string& value = arguments[++i];
        if (name == "--listen" && !parseListen(value, o)) {
            parsed.fault = "--listen takes ADDRESS:PORT, not " + value;
        } else if (name == "--db") {
            if (value.rfind("sqlite:", 0) != 0 && value.rfind("postgresql://", 0) != 0 &&
                value.rfind("postgres://", 0) != 0) {
                parsed.fault = "--db takes sqlite:PATH or postgresql://..., not " + value;
            }
            o.databaseUrl = value;
        } else if (name == "--builds") {
            o.buildsFile = value;
        } else if (name == "--version" && (!wholeNumber(value, o.version) || o.version < 0)) {
            parsed.fault = "--version takes a whole number, not " + value;
        }
        if (!parsed.fault.empty()) return parsed;
    }
    return parsed;
}

std::string serverUsage() {
    return "Usage: zifra-server [options]\n"
           "The competition service of Zifra Invaders: takes the game's scores, signs players up,\n"
           "helps with passwords and shows the ten-best lists.\n"
           "\n"
           "  --listen ADDRESS:PORT  where to take HTTP requests (default 127.0.0.1:8080; port 0: any free port)\n"
           "  --db URL               sqlite:PATH (default sqlite:zifra-competition.db) or postgresql://...\n"
           "  --builds FILE          take scores only from these builds: lines \"CRC SIZE\" in decimal\n"
           "  --version N            the newest version of the game, announced to it (default 3)\n"
           "  --help                 this text\n"
           "\n"
           "Mail (password reset links) is written as RFC 5322 files into outbox/ in the working\n"
           "directory; files in download/ are served under /download/.\n";
}
