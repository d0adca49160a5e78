#pragma once
// The command line of zifra-sim.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct SimOptions {
    std::int64_t calendarSeconds = 0;
    std::int64_t frames = 3000;
    std::string keysFile;
    std::string traceFile;
    std::string pngDirectory;
    std::int64_t every = 1;
    bool bench = false;
    // Where the last world's replay goes; empty for none.
    std::string recordFile;
    std::string ticket;
    // Every world's seed; without it, the calendar second (--time).
    std::optional<std::uint32_t> seed;
};

// The options of `args` (without the program name), or nothing with a
// one-line reason in `error`.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string& error);

inline constexpr const char* simUsage =
    "usage: zifra-sim [--time T] [--frames N] [--keys FILE] [--trace FILE] [--png DIR] [--every K] [--bench] "
    "[--seed N] [--record FILE] [--ticket ID]";
