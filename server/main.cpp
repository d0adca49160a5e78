// zifra-server: the competition service as a program. It stops on SIGINT or
// SIGTERM after the requests in progress.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <thread>

#include "server/competition_server.h"
#include "server/server_options.h"

namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "zifra-server: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    ParsedOptions parsed = parseServerOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.fault.empty()) return fail(parsed.fault);
    const ServerOptions& options = parsed.options;
    if (options.help) {
        std::fputs(serverUsage().c_str(), stdout);
        return 0;
    }
    if (!initialisePasswords()) return fail("libsodium cannot start");

    // Only the signal thread takes the stop signals; every thread started
    // from here on inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ServiceSettings settings;
    settings.version = options.version;
    settings.verifiedOnly = options.verifiedOnly;
    if (options.site) settings.site = *options.site;
    if (options.webFolder) {
        if (!std::filesystem::is_regular_file(std::filesystem::path(*options.webFolder) / "index.html")) {
            return fail("--web " + *options.webFolder + " holds no index.html");
        }
        settings.webGame = *options.webFolder;
    }
    std::unique_ptr<CompetitionServer> server;
    try {
        if (options.buildsFile) settings.builds = KnownBuilds::fromFile(*options.buildsFile);
        server = std::make_unique<CompetitionServer>(options.host, options.port, options.databaseUrl,
                                                     std::move(settings));
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
