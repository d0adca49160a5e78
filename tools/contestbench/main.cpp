// zifra-contest-bench: the competition's lists at full size. It fills a
// database (a SQLite file, or a private PostgreSQL cluster that syncs its
// commits as in production) with players and their scores in one period
// over two current games, serves it with the service in this process, asks
// for the start page, the ten-best list and the collective ranking one
// after another on one connection, and last times the close of the period.
//
//   zifra-contest-bench [--db sqlite|postgresql] [--players N] [--scores N] [--requests N]
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "percentile.h"
#include "scratch_postgres.h"
#include "server/competition_server.h"
#include "server/contest_service.h"
#include "server/rankings.h"
#include "server/schema.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Settings {
    std::string database = "sqlite";
    long players = 100000;
    long scores = 1000000;
    int requests = 1000;
};

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Rows made by the database itself from a counted series, so that a
// million of them take seconds, not a million round trips.
std::string series(long count) {
    return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(count) +
           ") ";
}

// Player i % players sends score i, alternating between the games by the
// hundred thousand, a second apart from the period's start; the scores are
// scattered by a multiplicative hash so that the best are anybody's.
void fill(SqlConnection& db, const Settings& s, std::int64_t start) {
    // The service's bound on a statement is for requests, not for this.
    if (db.dialect() == SqlDialect::postgresql) db.query("SET statement_timeout = 0");
    SqlTransaction transaction(db);
    db.query("INSERT INTO games (id, name, is_current) VALUES (5, 'Zifra Tetris', 1)");
    db.query("INSERT INTO accounts (email, email_key, nickname, nickname_key, password_hash, created_at) " +
             series(s.players) + "SELECT 'p' || i || '@example.se', 'p' || i || '@example.se', 'Spelare ' || i, "
             "'spelare ' || i, '$argon2id$none', 0 FROM n");
    db.query("INSERT INTO submissions (account_id, game_id, score, play_time_ms, speed_count, processor, "
             "build_checksum, build_size, submitted_at, period_id) " +
             series(s.scores) + "SELECT 1 + i % " + std::to_string(s.players) +
             ", CASE WHEN (i / 100000) % 2 = 0 THEN 4 ELSE 5 END, (i * 2654435761) % 1000003, 600000, 0, '', 0, 0, " +
             std::to_string(start) + " + i / 10, 1 FROM n");
    refreshAllBests(db);
    transaction.commit();
    db.query("ANALYZE");
}

void measure(httplib::Client& client, const char* path, int requests) {
    std::vector<double> latencies;
    std::size_t bytes = 0;
    for (int r = 0; r < requests; ++r) {
        auto started = Clock::now();
        auto answer = client.Get(path);
        latencies.push_back(milliseconds(Clock::now() - started));
        if (!answer || answer->status != 200) {
            std::fprintf(stderr, "%s was not answered 200\n", path);
            std::exit(1);
        }
        bytes = answer->body.size();
    }
    std::printf("  %-18s p50 %6.2f ms   p99 %6.2f ms   max %6.2f ms   (%zu bytes)\n", path, percentile(latencies, 0.5),
                percentile(latencies, 0.99), percentile(latencies, 1.0), bytes);
}

int usage() {
    std::fprintf(stderr, "usage: zifra-contest-bench [--db sqlite|postgresql] [--players N] [--scores N] [--requests N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i], value = argv[i + 1];
        if (name == "--db") s.database = value;
        else if (name == "--players") s.players = std::stol(value);
        else if (name == "--scores") s.scores = std::stol(value);
        else if (name == "--requests") s.requests = std::stoi(value);
        else return usage();
    }
    if (argc % 2 == 0 || (s.database != "sqlite" && s.database != "postgresql") || s.players < 1) return usage();
    if (!initialisePasswords()) return 1;

    std::string folder = "/tmp/zifra-contest-bench-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    std::unique_ptr<ScratchPostgres> postgres;
    std::string url = "sqlite:" + folder + "/bench.db";
    if (s.database == "postgresql") {
        postgres = std::make_unique<ScratchPostgres>(true);
        url = postgres->newDatabase();
    }
    std::int64_t now = std::time(nullptr);
    std::int64_t start = now - s.scores / 10 - 60;
    {
        ConnectionPool pool(url, 1);
        migrateSchema(*pool.borrow());
        ContestStore(pool).openPeriod("Bänk", start, now + 7 * 86400, {"bench", ""}, now);
        auto filling = Clock::now();
        fill(*pool.borrow(), s, start);
        std::printf("%s: %ld players, %ld scores in one period over two games, filled in %.1f s\n", s.database.c_str(),
                    s.players, s.scores, milliseconds(Clock::now() - filling) / 1000);
    }

    ServiceSettings settings;
    settings.outbox = folder + "/outbox";
    CompetitionServer server("127.0.0.1", 0, url, settings);
    std::thread serving([&] { server.run(); });
    while (!server.running()) std::this_thread::sleep_for(10ms);
    httplib::Client client("127.0.0.1", server.port());
    client.set_keep_alive(true);
    client.set_read_timeout(30);
    std::printf("%d requests each, one after another on one connection:\n", s.requests);
    for (const char* path : {"/", "/api/top?gameid=4", "/api/collective"}) measure(client, path, s.requests);
    server.stop();
    serving.join();

    ConnectionPool pool(url, 2);
    ContestService contest(pool, {"http://localhost", {}, ListedScores::all},
                           [outbox = Outbox(folder + "/outbox")](const MailMessage& message, std::time_t time) {
                               outbox.send(message, time);
                           });
    auto closing = Clock::now();
    auto winners = contest.closePeriod(*contest.store().period("Bänk"), AuditNote{"bench", "measured"});
    std::printf("closing the period with %zu winners and their mail: %.0f ms\n", winners ? winners->size() : 0,
                milliseconds(Clock::now() - closing));
    std::filesystem::remove_all(folder);
    return 0;
}
