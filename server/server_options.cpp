#include "server/server_options.h"

#include <algorithm>
#include <cctype>
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

bool hostNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

bool ipv6Character(char c) { return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.'; }

// "http://HOST[:PORT]" or "https://...", the host a name or a bracketed
// IPv6 address; a trailing slash is dropped, any other path refused. Links
// in mail begin with it, so nothing else may ride along.
std::optional<std::string> parseSite(const std::string& text) {
    std::string scheme = text.rfind("https://", 0) == 0 ? "https://" : text.rfind("http://", 0) == 0 ? "http://" : "";
    if (scheme.empty()) return std::nullopt;
    std::string rest = text.substr(scheme.size());
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    std::size_t hostEnd = 0;
    if (!rest.empty() && rest.front() == '[') {
        hostEnd = rest.find(']');
        if (hostEnd == std::string::npos || hostEnd == 1 ||
            !std::all_of(rest.begin() + 1, rest.begin() + static_cast<std::ptrdiff_t>(hostEnd), ipv6Character)) {
            return std::nullopt;
        }
        ++hostEnd;
    } else {
        hostEnd = std::min(rest.find(':'), rest.size());
        if (hostEnd == 0 ||
            !std::all_of(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(hostEnd), hostNameCharacter)) {
            return std::nullopt;
        }
    }
    if (hostEnd < rest.size()) {
        int port = 0;
        if (rest[hostEnd] != ':' || !wholeNumber(rest.substr(hostEnd + 1), port) || port < 1 || port > 65535) {
            return std::nullopt;
        }
    }
    return scheme + rest;
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
        if (name == "--verified-only") {
            o.verifiedOnly = true;
            continue;
        }
        if (name != "--listen" && name != "--db" && name != "--builds" && name != "--version" && name != "--site" &&
            name != "--connections-per-address" && name != "--access-log" &&
            name != "--sign-ups-per-address" && name != "--proxy" && name != "--smtp" && name != "--smtp-user" &&
            name != "--smtp-password-file" && name != "--web") {
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
        } else if (name == "--smtp") {
            if (value.rfind("smtp://", 0) != 0 && value.rfind("smtps://", 0) != 0) {
                parsed.fault = "--smtp takes smtp://HOST[:PORT] or smtps://HOST[:PORT], not " + value;
            }
            o.smtp = value;
        } else if (name == "--smtp-user") {
            o.smtpUser = value;
        } else if (name == "--smtp-password-file") {
            o.smtpPasswordFile = value;
        } else if (name == "--proxy") {
            o.proxy = value;
        } else if (name == "--access-log") {
            o.accessLog = value;
        } else if (name == "--builds") {
            o.buildsFile = value;
        } else if (name == "--version" && (!wholeNumber(value, o.version) || o.version < 0)) {
            parsed.fault = "--version takes a whole number, not " + value;
        } else if (name == "--connections-per-address" && !wholeNumber(value, o.connectionsPerAddress)) {
            parsed.fault = "--connections-per-address takes a whole number, not " + value;
        } else if (name == "--sign-ups-per-address" && (!wholeNumber(value, o.signUpsPerAddress) || o.signUpsPerAddress < 0)) {
            parsed.fault = "--sign-ups-per-address takes a whole number, not " + value;
        } else if (name == "--web") {
            o.webFolder = value;
        } else if (name == "--site") {
            o.site = parseSite(value);
            if (!o.site) parsed.fault = "--site takes http://HOST[:PORT] or https://HOST[:PORT], not " + value;
        }
        if (!parsed.fault.empty()) return parsed;
    }
    if (parsed.fault.empty() && (o.smtpUser || o.smtpPasswordFile) && !o.smtp) {
        parsed.fault = "--smtp-user and --smtp-password-file need --smtp";
    }
    return parsed;
}

std::string listeningSite(const std::string& host, int port) {
    std::string address = host.find(':') == std::string::npos ? host : "[" + host + "]";
    return "http://" + address + (port == 80 ? "" : ":" + std::to_string(port));
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
           "  --site URL             the public address of the service, which the password reset links\n"
           "                         in mail begin with, e.g. http://www.kvippa.example (default http://\n"
           "                         and the --listen address)\n"
           "  --connections-per-address N\n"
           "                         connections open at once from one client address (default 32;\n"
           "                         0: no limit, e.g. behind a proxy that limits them itself)\n"
           "  --sign-ups-per-address N\n"
           "                         sign-ups from one client address in an hour (default 5; 0: no limit)\n"
           "  --proxy ADDRESS        the reverse proxy's IP address: its requests are taken to come\n"
           "                         from their X-Real-IP header (for the limits per client address)\n"
           "  --access-log FILE      a line for every request (no query, no form) appended to FILE,\n"
           "                         or on standard error for -\n"
           "  --smtp URL             send mail through this SMTP server, smtp://HOST[:PORT] (STARTTLS when\n"
           "                         a user is given) or smtps://HOST[:PORT]; it waits in the database\n"
           "                         until sent, and is tried again while the server fails\n"
           "  --smtp-user USER       log in to the SMTP server as USER\n"
           "  --smtp-password-file FILE\n"
           "                         with the password in FILE (its first line)\n"
           "  --verified-only        the lists rank only scores proven by a replay (the game's own score\n"
           "                         form is still taken and stored, and not listed)\n"
           "  --web DIR              serve the browser game from DIR (its index.html and module) under\n"
           "                         /spela/, and link to it from the start page\n"
           "  --help                 this text\n"
           "\n"
           "zifra-server admin ... is the organiser's command line: games, periods, winners, hidden\n"
           "scores, banned accounts, news (zifra-server admin --help).\n"
           "\n"
           "Without --smtp, mail (confirmation, password reset and prize claim links, news) is written\n"
           "as RFC 5322 files into outbox/ in the working directory, and each link is also printed on\n"
           "standard output; files in download/ are served under /download/.\n";
}
