#include "recorded_game.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "child_process.h"

RecordedGame recordGame(const std::string& keys, std::int64_t frames, std::uint32_t seed, const std::string& ticket) {
    static int runs = 0;
    std::string stem = testing::TempDir() + "zifra-recorded-" + std::to_string(getpid()) + "-" + std::to_string(++runs);
    std::vector<std::string> argv = {ZIFRA_SIM_PROGRAM, "--frames", std::to_string(frames), "--record", stem + ".replay",
                                     "--trace", stem + ".jsonl", "--seed", std::to_string(seed), "--ticket", ticket};
    if (!keys.empty()) argv.insert(argv.end(), {"--keys", std::string(ZIFRA_GOLDEN_DIR) + "/" + keys});
    ChildProcess sim(argv);
    RecordedGame game;
    if (sim.wait(std::chrono::seconds(60)).value_or(-1) != 0) {
        ADD_FAILURE() << "zifra-sim did not record " << (keys.empty() ? "an idle game" : keys);
        return game;
    }
    std::ifstream replay(stem + ".replay", std::ios::binary);
    game.replay.assign(std::istreambuf_iterator<char>(replay), {});
    // The game goes on behind its closing questions, and its score with it,
    // but the replay ends with the update that ended the game: the score
    // then is the one to prove.
    std::ifstream trace(stem + ".jsonl");
    bool over = false;
    for (std::string line; std::getline(trace, line);) {
        auto frame = nlohmann::json::parse(line);
        bool nowOver = frame.at("gameOver") != 0;
        if (!over) game.shownScore = frame.at("score").get<std::int32_t>();
        over = nowOver;
    }
    for (const char* suffix : {".replay", ".jsonl"}) std::filesystem::remove(stem + suffix);
    return game;
}
