// zifra-scratch-postgres: a private PostgreSQL cluster for scripts. Prints
// the URL of a new, empty database in it on one line, and stops and removes
// the cluster when its standard input closes (or on SIGTERM).
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

#include "scratch_postgres.h"

int main() {
    // SIGTERM and SIGINT end the wait below like a closed input does, so
    // the cluster is still stopped.
    struct sigaction quiet{};
    quiet.sa_handler = [](int) {};
    sigaction(SIGTERM, &quiet, nullptr);
    sigaction(SIGINT, &quiet, nullptr);
    // The URL is all that goes to standard output; what the cluster's
    // programs print goes to standard error.
    FILE* url = fdopen(dup(STDOUT_FILENO), "w");
    dup2(STDERR_FILENO, STDOUT_FILENO);
    try {
        ScratchPostgres cluster(false);
        std::fprintf(url, "%s\n", cluster.newDatabase().c_str());
        std::fflush(url);
        char byte;
        while (read(STDIN_FILENO, &byte, 1) > 0) {
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zifra-scratch-postgres: %s\n", error.what());
        return 1;
    }
    return 0;
}
