#include "scratch_postgres.h"

#include <libpq-fe.h>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

namespace {

constexpr char binaries[] = "/usr/lib/postgresql/15/bin/";
const std::string serverUser = "postgres";

// The user the cluster runs as: postgres when this is root.
std::optional<std::string> clusterUser() {
    return geteuid() == 0 ? std::optional<std::string>(serverUser) : std::nullopt;
}

bool accepts(const std::string& url) {
    PGconn* c = PQconnectdb(url.c_str());
    bool ok = PQstatus(c) == CONNECTION_OK;
    PQfinish(c);
    return ok;
}

void run(PGconn* c, const std::string& sql) {
    PGresult* r = PQexec(c, sql.c_str());
    bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    std::string why = PQresultErrorMessage(r);
    PQclear(r);
    if (!ok) throw std::runtime_error("PostgreSQL: " + why);
}

}  // namespace

ScratchPostgres::ScratchPostgres(bool durable) {
    char pattern[] = "/tmp/zifra-postgres-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("cannot make a folder for PostgreSQL");
    folder_ = pattern;
    if (auto user = clusterUser()) {
        const passwd* account = getpwnam(user->c_str());
        if (!account || chown(folder_.c_str(), account->pw_uid, account->pw_gid) != 0) {
            throw std::runtime_error("cannot hand " + folder_ + " to the postgres user");
        }
    }
    std::string data = folder_ + "/data";
    ChildProcess initdb({std::string(binaries) + "initdb", "-D", data, "-U", "zifra", "--auth=trust", "-E", "UTF8",
                         "--locale=C.UTF-8", "--no-sync"},
                        folder_, clusterUser());
    int initialised = initdb.wait(std::chrono::seconds(120)).value_or(-1);
    if (initialised != 0) throw std::runtime_error("initdb failed with status " + std::to_string(initialised));

    port_ = freeLoopbackPort();
    std::vector<std::string> argv = {std::string(binaries) + "postgres", "-D", data, "-p", std::to_string(port_),
                                     "-k", folder_, "-h", "127.0.0.1", "-c", "max_connections=200",
                                     "-c", "log_min_messages=warning"};
    if (!durable) argv.insert(argv.end(), {"-c", "fsync=off", "-c", "synchronous_commit=off", "-c", "full_page_writes=off"});
    server_ = std::make_unique<ChildProcess>(argv, folder_, clusterUser());
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!accepts(url("postgres"))) {
        if (server_->wait(std::chrono::milliseconds(0)) || std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("PostgreSQL did not start on port " + std::to_string(port_));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

ScratchPostgres::~ScratchPostgres() {
    // A fast shutdown: open sessions are ended, nothing waits for them.
    if (server_) server_->stop(SIGINT, std::chrono::seconds(30));
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string ScratchPostgres::newDatabase() {
    std::string name = "zifra_" + std::to_string(++databases_);
    PGconn* c = PQconnectdb(url("postgres").c_str());
    try {
        if (PQstatus(c) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(c));
        run(c, "CREATE DATABASE " + name);
    } catch (...) {
        PQfinish(c);
        throw;
    }
    PQfinish(c);
    return url(name);
}

std::string ScratchPostgres::url(const std::string& database) const {
    return "postgresql://zifra@127.0.0.1:" + std::to_string(port_) + "/" + database;
}
