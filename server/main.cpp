// zifra-server: the competition service as a program. It stops on SIGINT or
// SIGTERM after the requests in progress. `zifra-server admin ...` is the
// organiser's command line instead (contest_admin.h).
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "server/competition_server.h"
#include "server/contest_admin.h"
#include "server/server_options.h"

namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "zifra-server: %s\n", why.c_str());
    return 1;
}

// Without an SMTP server, whoever runs the service sees the links that
// mail would have carried, so that a player on this machine can follow them.
void printLinks(const MailMessage& message) {
    std::istringstream words(message.body);
    for (std::string word; words >> word;) {
        if (word.rfind("http://", 0) == 0 || word.rfind("https://", 0) == 0) {
            std::printf("zifra-server: mailed link: %s\n", word.c_str());
        }
    }
    std::fflush(stdout);
}

std::optional<SmtpSettings> smtpOf(const ServerOptions& options) {
    if (!options.smtp) return std::nullopt;
    SmtpSettings smtp{*options.smtp, options.smtpUser, std::nullopt};
    if (options.smtpPasswordFile) {
        std::ifstream file(*options.smtpPasswordFile);
        std::string line;
        if (!file || !std::getline(file, line)) {
            throw std::runtime_error("cannot read the SMTP password from " + *options.smtpPasswordFile);
        }
        smtp.password = line;
    }
    return smtp;
}

}  // namespace

// Who runs `admin`, for its audit rows.
std::string userName() {
    if (const passwd* entry = getpwuid(geteuid())) return entry->pw_name;
    return "uid " + std::to_string(geteuid());
}

int admin(const std::vector<std::string>& arguments) {
    if (!initialisePasswords()) return fail("libsodium cannot start");
    AdminResult result = runAdmin(arguments, {userName(), {}, "outbox"});
    std::fputs(result.output.c_str(), stdout);
    if (!result.error.empty()) std::fprintf(stderr, "zifra-server admin: %s\n", result.error.c_str());
    return result.exitCode;
}

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "admin") return admin(std::vector<std::string>(argv + 2, argv + argc));
    ParsedOptions parsed = parseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.fault.empty()) return fail(parsed.fault);
    const ServerOptions& options = parsed.options;
    if (options.help) {
        std::fputs(serverUsage().c_str(), stdout);
        return 0;
    }
    if (!initialisePasswords()) return fail("libsodium cannot start");
    // Every connection open at once holds a descriptor: as many as allowed.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    // Only the signal thread takes the stop signals; every thread started
    // from here on inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ServiceSettings settings;
    settings.version = options.version;
    settings.signUpsPerAddress = options.signUpsPerAddress;
    settings.verifiedOnly = options.verifiedOnly;
    if (options.site) settings.site = *options.site;
    if (options.webFolder) {
        if (!std::filesystem::is_regular_file(std::filesystem::path(*options.webFolder) / "index.html")) {
            return fail("--web " + *options.webFolder + " holds no index.html");
        }
        settings.webGame = *options.webFolder;
    }
    if (!options.smtp) {
        settings.mail = [outbox = Outbox(settings.outbox)](const MailMessage& message, std::time_t now) {
            outbox.send(message, now);
            printLinks(message);
        };
    }
    std::unique_ptr<CompetitionServer> server;
    try {
        if (options.buildsFile) settings.builds = KnownBuilds::fromFile(*options.buildsFile);
        ConnectionLimits limits;
        limits.perAddress = options.connectionsPerAddress;
        server = std::make_unique<CompetitionServer>(options.host, options.port, options.databaseUrl,
                                                     std::move(settings), limits, smtpOf(options));
        if (options.proxy) server->trustProxy(*options.proxy);
        if (options.accessLog) server->logAccessTo(std::make_unique<AccessLog>(*options.accessLog));
    } catch (const std::exception& error) {
        return fail(error.what());
    }
    std::printf("zifra-server: listening on http://%s:%d\n", options.host.c_str(), server->port());
    std::fflush(stdout);

    std::atomic<bool> signalled = false;
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        signalled = true;
        server->stop();
    });
    bool served = server->run();
    // Ended without a signal: wake the signal thread so it can be joined.
    if (!signalled) pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return served ? 0 : fail("the HTTP server stopped unexpectedly");
}
