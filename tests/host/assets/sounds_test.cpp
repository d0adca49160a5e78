// The sound cues: their format, their lengths, and the keypad tones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "platform/resources.h"

namespace {

struct Cue {
    int id;
    std::size_t samples;
};

const Cue cues[] = {
    {164, 1200},  {165, 1600},  {166, 1600},  {167, 1600}, {168, 1600}, {169, 1600},
    {170, 1600},  {171, 1600},  {172, 1600},  {173, 1600}, {174, 8000}, {175, 8000},
    {176, 2000},  {177, 43440}, {178, 2000},  {179, 1600},
};

std::uint32_t little(std::span<const std::uint8_t> b, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | b[at + i];
    return value;
}

// The 8-bit samples of a WAVE resource, checked to be the one format the
// game's cues share: a 44-byte RIFF/WAVE header, PCM, mono, 8000 Hz, 8 bits.
std::vector<std::uint8_t> samplesOf(int id) {
    auto found = platform::resourceBytes(platform::ResourceType::Wave, id);
    if (!found || found->size() < 44) {
        ADD_FAILURE() << id << " is missing or too short";
        return {};
    }
    auto b = *found;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(little(b, 4, 4), b.size() - 8) << "RIFF size";
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(little(b, 16, 4), 16u) << "format chunk size";
    EXPECT_EQ(little(b, 20, 2), 1u) << "PCM";
    EXPECT_EQ(little(b, 22, 2), 1u) << "channels";
    EXPECT_EQ(little(b, 24, 4), 8000u) << "samples per second";
    EXPECT_EQ(little(b, 28, 4), 8000u) << "bytes per second";
    EXPECT_EQ(little(b, 32, 2), 1u) << "block align";
    EXPECT_EQ(little(b, 34, 2), 8u) << "bits per sample";
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    std::uint32_t count = little(b, 40, 4);
    EXPECT_LE(44 + count, b.size());
    return {b.begin() + 44, b.begin() + 44 + std::min<std::size_t>(count, b.size() - 44)};
}

TEST(Sounds, FormatAndLength) {
    for (const Cue& cue : cues) {
        SCOPED_TRACE(cue.id);
        std::vector<std::uint8_t> samples = samplesOf(cue.id);
        EXPECT_EQ(samples.size(), cue.samples);
        if (samples.empty()) continue;
        // Starting and ending at silence keeps the cue from clicking; staying
        // off the extremes keeps it from clipping.
        EXPECT_NEAR(samples.front(), 128, 2);
        EXPECT_NEAR(samples.back(), 128, 2);
        auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        EXPECT_GT(*low, 0);
        EXPECT_LT(*high, 255);
        EXPECT_GT(*high - *low, 150) << "loud enough to hear";
    }
}

// Power of one frequency in the samples (the Goertzel filter).
double power(const std::vector<std::uint8_t>& samples, double frequency) {
    double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / 8000);
    double s1 = 0, s2 = 0;
    for (std::uint8_t sample : samples) {
        double s0 = (sample - 128.0) + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
}

TEST(Sounds, DigitCuesAreTheKeypadTonePairs) {
    const double rows[] = {697, 770, 852, 941};
    const double columns[] = {1209, 1336, 1477};
    struct Digit {
        int id;
        double row, column;
    };
    const Digit digits[] = {
        {179, 941, 1336}, {165, 697, 1209}, {166, 697, 1336}, {167, 697, 1477}, {168, 770, 1209},
        {169, 770, 1336}, {170, 770, 1477}, {171, 852, 1209}, {172, 852, 1336}, {173, 852, 1477},
    };
    for (const Digit& digit : digits) {
        SCOPED_TRACE(digit.id);
        std::vector<std::uint8_t> samples = samplesOf(digit.id);
        double rowPower = power(samples, digit.row);
        double columnPower = power(samples, digit.column);
        // Equal loudness of both tones, within a factor of two.
        EXPECT_GT(rowPower, columnPower / 2);
        EXPECT_GT(columnPower, rowPower / 2);
        double weaker = std::min(rowPower, columnPower);
        std::vector<double> others;
        for (double f : rows) if (f != digit.row) others.push_back(f);
        for (double f : columns) if (f != digit.column) others.push_back(f);
        for (double other : others) EXPECT_LT(power(samples, other), weaker / 100) << other << " Hz";
    }
}

}  // namespace
