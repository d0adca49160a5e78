// zifra-load: a load benchmark of the competition service. It starts
// zifra-server itself (on a SQLite file, or on a private PostgreSQL cluster
// that syncs its commits as in production), signs players up, lets them all
// send scores as the game does (a new connection for every score), then
// checks that every score answered 0 is a stored row, and last measures the
// ten-best list. Without a pace every player sends flat out from the same
// instant; with one, the players arrive spread evenly over the first pace
// period, as players who come and go do, and then each sends a score every
// pace.
//
//   zifra-load --server PATH [--db sqlite|postgresql] [--players N] [--seconds S] [--pace MS]
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "mailed_links.h"
#include "net/submission_form.h"
#include "percentile.h"
#include "scratch_postgres.h"
#include "server/passwords.h"
#include "server/sql_connection.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Settings {
    std::string server;
    std::string database = "sqlite";
    int players = 100;
    int seconds = 20;
    int paceMs = 0;  // at most one score per player this often; 0: as fast as answered
};

struct Tally {
    std::mutex mutex;
    std::vector<double> latenciesMs;
    std::vector<double> firstLatenciesMs;  // each player's first score: its password is checked in full
    std::size_t accepted = 0, refused = 0, failed = 0;
    std::set<std::pair<int, int>> acceptedScores;  // (player, score) of every answered 0
};

std::string player(int p) { return "spelare" + std::to_string(p) + "@example.se"; }

// Each player sends rising scores for `seconds`, one connection per score.
void submitAll(const Settings& s, int port, Tally& tally) {
    auto end = Clock::now() + std::chrono::seconds(s.seconds);
    std::vector<std::thread> threads;
    for (int p = 0; p < s.players; ++p) {
        threads.emplace_back([&, p] {
            if (s.paceMs) std::this_thread::sleep_for(std::chrono::milliseconds(s.paceMs) * p / s.players);
            for (int score = 1; Clock::now() < end; ++score) {
                auto started = Clock::now();
                SubmissionForm form{player(p), 4, "hemligt1", score, 3600000, 98, "CPU UNKNOWN", 1, 2};
                httplib::Client c("127.0.0.1", port);
                c.set_connection_timeout(10);
                c.set_read_timeout(30);
                auto answer = c.Post("/r0002.asp", formBody(form), "application/x-www-form-urlencoded");
                double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
                {
                    std::lock_guard lock(tally.mutex);
                    (score == 1 ? tally.firstLatenciesMs : tally.latenciesMs).push_back(ms);
                    if (!answer) {
                        ++tally.failed;
                    } else if (answer->body.rfind("0\r\n", 0) == 0) {
                        ++tally.accepted;
                        tally.acceptedScores.emplace(p, score);
                    } else {
                        ++tally.refused;
                    }
                }
                if (s.paceMs) std::this_thread::sleep_until(started + std::chrono::milliseconds(s.paceMs));
            }
        });
    }
    for (auto& t : threads) t.join();
}

// Requests of the ten-best list from `clients` kept-alive clients for `seconds`.
std::size_t topListRequests(int port, int clients, int seconds) {
    std::atomic<std::size_t> served = 0;
    auto end = Clock::now() + std::chrono::seconds(seconds);
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back([&] {
            httplib::Client c("127.0.0.1", port);
            c.set_keep_alive(true);
            while (Clock::now() < end) {
                auto page = c.Get("/api/top?gameid=4");
                if (page && page->status == 200) ++served;
            }
        });
    }
    for (auto& t : threads) t.join();
    return served;
}

double passwordCheckMs() {
    std::string hash = hashPassword("hemligt1");
    auto started = Clock::now();
    constexpr int rounds = 20;
    for (int i = 0; i < rounds; ++i) verifyPassword(hash, "hemligt1");
    return std::chrono::duration<double, std::milli>(Clock::now() - started).count() / rounds;
}

int usage() {
    std::fprintf(stderr, "usage: zifra-load --server PATH [--db sqlite|postgresql] [--players N] [--seconds S] [--pace MS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i], value = argv[i + 1];
        if (name == "--server") s.server = value;
        else if (name == "--db") s.database = value;
        else if (name == "--players") s.players = std::stoi(value);
        else if (name == "--seconds") s.seconds = std::stoi(value);
        else if (name == "--pace") s.paceMs = std::stoi(value);
        else return usage();
    }
    if (argc % 2 == 0 || s.server.empty() || (s.database != "sqlite" && s.database != "postgresql")) return usage();
    if (!initialisePasswords()) return 1;
    std::printf("one password check (Argon2id, %zu MiB, %llu passes): %.1f ms\n", passwordMemoryBytes >> 20,
                passwordPasses, passwordCheckMs());

    std::string folder = "/tmp/zifra-load-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    std::unique_ptr<ScratchPostgres> postgres;
    std::string url = "sqlite:" + folder + "/load.db";
    if (s.database == "postgresql") {
        postgres = std::make_unique<ScratchPostgres>(true);
        url = postgres->newDatabase();
    }
    ChildProcess server({std::filesystem::absolute(s.server).string(), "--listen", "127.0.0.1:0", "--db", url,
                         "--sign-ups-per-address", "0", "--connections-per-address", "0"}, folder,
                        std::nullopt, true);
    std::smatch match;
    auto line = server.readLine(30s).value_or("");
    if (!std::regex_match(line, match, std::regex("zifra-server: listening on http://127\\.0\\.0\\.1:(\\d+)"))) {
        std::fprintf(stderr, "zifra-server did not start\n");
        return 1;
    }
    int port = std::stoi(match[1]);

    for (int p = 0; p < s.players; ++p) {
        httplib::Client c("127.0.0.1", port);
        httplib::Params form = {{"email", player(p)}, {"nickname", "Spelare " + std::to_string(p)},
                                {"password", "hemligt1"}, {"repeated", "hemligt1"}};
        auto signedUp = c.Post("/reg3.htm", form);
        if (!signedUp || signedUp->status != 200) {
            std::fprintf(stderr, "sign-up of %s failed\n", player(p).c_str());
            return 1;
        }
    }
    // Every player confirms the address through the mailed link.
    for (const std::string& token : mailedTokens(folder + "/outbox", "confirm.htm")) {
        httplib::Client c("127.0.0.1", port);
        auto confirmed = c.Post("/confirm.htm", httplib::Params{{"token", token}});
        if (!confirmed || confirmed->status != 200) {
            std::fprintf(stderr, "a confirmation failed\n");
            return 1;
        }
    }

    Tally tally;
    auto started = Clock::now();
    submitAll(s, port, tally);
    double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
    // Every score answered 0 must be a stored row of its player; a count
    // alone would let a lost one hide behind a stored one whose answer was lost.
    std::set<std::pair<std::string, int>> stored;
    long long rows = 0;
    for (const SqlRow& row : openSqlConnection(url)->query(
             "SELECT a.email, s.score FROM submissions s JOIN accounts a ON a.id = s.account_id", {})) {
        stored.emplace(*row[0], static_cast<int>(sqlInteger(row[1])));
        ++rows;
    }
    std::vector<std::pair<int, int>> missing;
    for (const auto& [p, score] : tally.acceptedScores) {
        if (!stored.count({player(p), score})) missing.emplace_back(p, score);
    }
    std::string kept =
        missing.empty() ? " (every accepted score)" : " (" + std::to_string(missing.size()) + " accepted scores MISSING)";
    std::printf("%s, %d players%s, %.1f s: %zu accepted (%.0f/s), %zu refused, %zu failed; %lld rows stored%s\n",
                s.database.c_str(), s.players,
                s.paceMs ? (", one score every " + std::to_string(s.paceMs) + " ms each").c_str() : "", elapsed,
                tally.accepted, static_cast<double>(tally.accepted) / elapsed, tally.refused, tally.failed, rows,
                kept.c_str());
    for (const auto& [p, score] : missing) {
        std::fprintf(stderr, "  missing: %s score %d, answered 0\n", player(p).c_str(), score);
    }
    std::printf("  latency of each player's first score (%s): p50 %.1f ms, p99 %.1f ms\n",
                s.paceMs ? "arrivals spread over the first pace" : "all arriving at once",
                percentile(tally.firstLatenciesMs, 0.5), percentile(tally.firstLatenciesMs, 0.99));
    std::vector<double> every = tally.latenciesMs;
    every.insert(every.end(), tally.firstLatenciesMs.begin(), tally.firstLatenciesMs.end());
    std::printf("  latency of every score: p50 %.1f ms, p99 %.1f ms\n", percentile(every, 0.5),
                percentile(every, 0.99));
    std::printf("  latency of the later scores: p50 %.1f ms, p99 %.1f ms, max %.1f ms\n",
                percentile(tally.latenciesMs, 0.5), percentile(tally.latenciesMs, 0.99),
                percentile(tally.latenciesMs, 1.0));

    constexpr int listSeconds = 5, listClients = 16;
    std::size_t lists = topListRequests(port, listClients, listSeconds);
    std::printf("ten-best list: %.0f requests/s from %d kept-alive clients over %lld rows\n",
                static_cast<double>(lists) / listSeconds, listClients, rows);

    server.stop(SIGTERM);
    postgres.reset();
    std::filesystem::remove_all(folder);
    return missing.empty() && tally.failed == 0 ? 0 : 1;
}
