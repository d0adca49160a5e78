// zifra-verifybench: how fast the competition service proves scores (a tool,
// not a test). It starts zifra-server itself (on a SQLite file, or on a
// private PostgreSQL cluster that syncs its commits as in production) and
// signs players up. Then every player at once asks for a ticket, has
// zifra-sim play a game on its seed and record the replay, waits as long as
// the game takes to play, and all send their replays in the same instant and
// ask for the verdict until it comes: the verdict's latency is from the send
// to the answer that says verified. Last it stores many more scores and
// times the ten-best list and the start page over them, in both list modes.
// Beside that, in this process: the CPU time to verify a minute of play, and
// the bytes of a minute's replay.
//
//   zifra-verifybench --server PATH --sim PATH [--db sqlite|postgresql] [--players N] [--game-seconds S]
//                     [--scores N]
#include <httplib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "game/replay.h"
#include "game/replay_check.h"
#include "mailed_links.h"
#include "percentile.h"
#include "scratch_postgres.h"
#include "server/sql_connection.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Settings {
    std::string server, sim, keys;
    std::string database = "sqlite";
    int players = 100;
    int gameSeconds = 20;
    int scores = 100000;
};

struct Tally {
    std::mutex mutex;
    std::vector<double> ticketMs, verdictMs;
    std::vector<std::vector<std::uint8_t>> replays;
    int verified = 0, failed = 0;
    std::map<std::string, int> failures;  // by what failed
};

std::string player(int p) { return "spelare" + std::to_string(p) + "@example.se"; }

double msSince(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

httplib::Client client(int port) {
    httplib::Client c("127.0.0.1", port);
    c.set_connection_timeout(10);
    c.set_read_timeout(30);
    return c;
}

struct Server {
    std::unique_ptr<ChildProcess> process;
    int port = 0;
};

Server startServer(const Settings& s, const std::string& folder, const std::string& url, bool verifiedOnly) {
    std::vector<std::string> argv = {std::filesystem::absolute(s.server).string(), "--listen", "127.0.0.1:0", "--db",
                                     url, "--sign-ups-per-address", "0", "--connections-per-address", "0"};
    if (verifiedOnly) argv.push_back("--verified-only");
    Server server{std::make_unique<ChildProcess>(argv, folder, std::nullopt, true), 0};
    std::smatch match;
    auto line = server.process->readLine(30s).value_or("");
    if (std::regex_match(line, match, std::regex("zifra-server: listening on http://127\\.0\\.0\\.1:(\\d+)"))) {
        server.port = std::stoi(match[1]);
    }
    return server;
}

// zifra-sim's replay of a game on the seed and ticket; empty when it failed.
std::vector<std::uint8_t> recordGame(const Settings& s, const std::string& file, std::uint32_t seed,
                                     const std::string& ticket) {
    ChildProcess sim({s.sim, "--keys", s.keys, "--frames", std::to_string(s.gameSeconds * 25), "--record", file,
                      "--seed", std::to_string(seed), "--ticket", ticket});
    if (sim.wait(120s).value_or(-1) != 0) return {};
    std::ifstream in(file, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Every player: a ticket, a recorded game, the game's time; then all send at
// once and poll for the verdict.
void proveAll(const Settings& s, int port, const std::string& folder, Tally& tally) {
    // zifra-sim runs once every ticket is in, so that its processor time is
    // not taken from the tickets' password checks: a game runs on the
    // player's machine, not the service's.
    std::barrier ticketsIn(s.players), sendTogether(s.players);
    std::vector<std::thread> threads;
    for (int p = 0; p < s.players; ++p) {
        threads.emplace_back([&, p] {
            auto failed = [&](const std::string& what) {
                std::lock_guard lock(tally.mutex);
                ++tally.failed;
                ++tally.failures[what];
            };
            auto started = Clock::now();
            nlohmann::json login = {{"email", player(p)}, {"password", "hemligt1"}};
            auto issued = client(port).Post("/api/v1/games", login.dump(), "application/json");
            double ticketMs = msSince(started);
            // The game begins once the ticket is in hand.
            auto issuedAt = Clock::now();
            ticketsIn.arrive_and_wait();
            std::vector<std::uint8_t> replay;
            if (issued && issued->status == 200) {
                auto ticket = nlohmann::json::parse(issued->body);
                replay = recordGame(s, folder + "/" + std::to_string(p) + ".replay", ticket.at("seed"),
                                    ticket.at("ticket"));
            }
            std::this_thread::sleep_until(issuedAt + std::chrono::seconds(s.gameSeconds));
            sendTogether.arrive_and_wait();
            if (!issued || issued->status != 200) {
                return failed("ticket: " + (issued ? std::to_string(issued->status) : httplib::to_string(issued.error())));
            }
            if (replay.empty()) return failed("zifra-sim recorded nothing");
            auto sent = Clock::now();
            auto queued = client(port).Post("/api/v1/scores", std::string(replay.begin(), replay.end()),
                                            "application/octet-stream");
            if (!queued || queued->status != 202) {
                return failed("send: " + (queued ? queued->body : httplib::to_string(queued.error())));
            }
            std::string address = "/api/v1/scores/" + nlohmann::json::parse(queued->body).at("id").dump();
            auto poller = client(port);
            poller.set_keep_alive(true);
            for (auto deadline = sent + 60s; Clock::now() < deadline; std::this_thread::sleep_for(100ms)) {
                auto state = poller.Get(address);
                if (!state || state->status != 200) continue;
                std::string status = nlohmann::json::parse(state->body).at("status");
                if (status == "pending") continue;
                if (status != "verified") return failed("verdict: " + state->body);
                std::lock_guard lock(tally.mutex);
                tally.ticketMs.push_back(ticketMs);
                ++tally.verified;
                tally.verdictMs.push_back(msSince(sent));
                tally.replays.push_back(std::move(replay));
                return;
            }
            failed("no verdict within 60 s");
        });
    }
    for (auto& t : threads) t.join();
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Plays every replay again here: CPU per minute of play, bytes per minute.
void verificationCost(const std::vector<std::vector<std::uint8_t>>& replays) {
    double cpuMs = 0, minutes = 0, bytes = 0;
    for (const auto& bytesOfOne : replays) {
        std::string error;
        auto replay = decodeReplay(bytesOfOne, ReplayLimits{}, error);
        if (!replay) continue;
        double start = threadCpuMs();
        ReplayVerdict verdict = verifyReplay(*replay);
        cpuMs += threadCpuMs() - start;
        if (!verdict.proven) continue;
        minutes += replay->frames * 0.04 / 60;
        bytes += static_cast<double>(bytesOfOne.size());
    }
    if (minutes == 0) return;
    std::printf("verification: %.1f ms CPU per minute of play; replays %.0f bytes per minute (%.1f minutes played)\n",
                cpuMs / minutes, bytes / minutes, minutes);
}

// Scores of a thousand more players, in one transaction.
void storeScores(const std::string& url, int scores) {
    auto connection = openSqlConnection(url);
    SqlTransaction transaction(*connection);
    constexpr int accounts = 1000;
    std::int64_t first = 0;
    for (int a = 0; a < accounts; ++a) {
        std::string email = "lista" + std::to_string(a) + "@example.se";
        auto id = connection->query(
            "INSERT INTO accounts (email, email_key, nickname, nickname_key, password_hash, created_at) "
            "VALUES ($1, $1, $2, $2, 'none', 0) RETURNING id",
            {email, "lista " + std::to_string(a)});
        if (a == 0) first = sqlInteger(id[0][0]);
    }
    std::mt19937 random(7);
    for (int i = 0; i < scores; ++i) {
        connection->query(
            "INSERT INTO submissions (account_id, game_id, score, play_time_ms, speed_count, processor, "
            "build_checksum, build_size, submitted_at, form_key) VALUES ($1, 4, $2, 3600000, 0, '', 1, 2, $3, $4)",
            {first + static_cast<std::int64_t>(random() % accounts), static_cast<std::int64_t>(random() % 100000),
             std::int64_t{1700000000} + i, "bench" + std::to_string(i)});
    }
    transaction.commit();
}

void timeLists(int port, const char* mode) {
    auto c = client(port);
    c.set_keep_alive(true);
    for (const char* path : {"/api/top?gameid=4", "/"}) {
        std::vector<double> ms;
        for (int i = 0; i < 200; ++i) {
            auto started = Clock::now();
            auto page = c.Get(path);
            if (page && page->status == 200) ms.push_back(msSince(started));
            if (i == 0 && page && std::string(path) != "/") {
                std::printf("  %s, %s: %zu placings\n", path, mode, nlohmann::json::parse(page->body).at("alltime").size());
            }
        }
        std::printf("  %s, %s: p50 %.2f ms, p99 %.2f ms (%zu answers)\n", path, mode, percentile(ms, 0.5),
                    percentile(ms, 0.99), ms.size());
    }
}

int usage() {
    std::fprintf(stderr,
                 "usage: zifra-verifybench --server PATH --sim PATH --keys FILE [--db sqlite|postgresql] [--players N] "
                 "[--game-seconds S] [--scores N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i], value = argv[i + 1];
        if (name == "--server") s.server = value;
        else if (name == "--sim") s.sim = value;
        else if (name == "--keys") s.keys = value;
        else if (name == "--db") s.database = value;
        else if (name == "--players") s.players = std::stoi(value);
        else if (name == "--game-seconds") s.gameSeconds = std::stoi(value);
        else if (name == "--scores") s.scores = std::stoi(value);
        else return usage();
    }
    if (argc % 2 == 0 || s.server.empty() || s.sim.empty() || s.keys.empty() || s.players < 1 ||
        (s.database != "sqlite" && s.database != "postgresql")) {
        return usage();
    }
    s.sim = std::filesystem::absolute(s.sim).string();
    s.keys = std::filesystem::absolute(s.keys).string();

    std::string folder = "/tmp/zifra-verifybench-" + std::to_string(getpid());
    std::filesystem::create_directories(folder);
    std::unique_ptr<ScratchPostgres> postgres;
    std::string url = "sqlite:" + folder + "/bench.db";
    if (s.database == "postgresql") {
        postgres = std::make_unique<ScratchPostgres>(true);
        url = postgres->newDatabase();
    }
    Server server = startServer(s, folder, url, false);
    if (!server.port) {
        std::fprintf(stderr, "zifra-server did not start\n");
        return 1;
    }
    for (int p = 0; p < s.players; ++p) {
        httplib::Params form = {{"email", player(p)}, {"nickname", "Spelare " + std::to_string(p)},
                                {"password", "hemligt1"}, {"repeated", "hemligt1"}};
        auto signedUp = client(server.port).Post("/reg3.htm", form);
        if (!signedUp || signedUp->status != 200) {
            std::fprintf(stderr, "sign-up of %s failed\n", player(p).c_str());
            return 1;
        }
    }
    // Every player confirms the address through the mailed link.
    for (const std::string& token : mailedTokens(folder + "/outbox", "confirm.htm")) {
        auto confirmed = client(server.port).Post("/confirm.htm", httplib::Params{{"token", token}});
        if (!confirmed || confirmed->status != 200) {
            std::fprintf(stderr, "a confirmation failed\n");
            return 1;
        }
    }

    Tally tally;
    proveAll(s, server.port, folder, tally);
    std::printf("%s, %d players at once, games of %d s on %u processors: %d verified, %d failed\n",
                s.database.c_str(), s.players, s.gameSeconds, std::thread::hardware_concurrency(), tally.verified,
                tally.failed);
    for (const auto& [what, count] : tally.failures) std::printf("  failed %d times: %s\n", count, what.c_str());
    std::printf("  ticket (a full password check each): p50 %.0f ms, p99 %.0f ms\n", percentile(tally.ticketMs, 0.5),
                percentile(tally.ticketMs, 0.99));
    std::printf("  verdict, from sending the replay to the answer 'verified': p50 %.0f ms, p99 %.0f ms, max %.0f ms\n",
                percentile(tally.verdictMs, 0.5), percentile(tally.verdictMs, 0.99), percentile(tally.verdictMs, 1.0));
    verificationCost(tally.replays);

    if (s.scores > 0) {
        server.process->stop(SIGTERM);
        storeScores(url, s.scores);
        std::printf("lists over %d more scores of 1000 more players:\n", s.scores);
        for (bool verifiedOnly : {false, true}) {
            Server lists = startServer(s, folder, url, verifiedOnly);
            if (lists.port) timeLists(lists.port, verifiedOnly ? "--verified-only" : "every score");
            lists.process->stop(SIGTERM);
        }
    } else {
        server.process->stop(SIGTERM);
    }
    postgres.reset();
    std::filesystem::remove_all(folder);
    return tally.failed == 0 ? 0 : 1;
}
