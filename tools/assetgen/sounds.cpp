#include "sounds.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <sstream>

#include "byte_writer.h"
#include "text_sources.h"

namespace {

constexpr double RATE = 8000;
constexpr double NYQUIST = RATE / 2;
constexpr double TWO_PI = 2 * std::numbers::pi;
constexpr int FADE_SAMPLES = 40;
constexpr double PEAK = 0.9;

using Samples = std::vector<double>;

// One period of a band-limited wave at `phase` (radians) for a tone of
// `frequency`: harmonics above the Nyquist frequency are left out.
double wave(const std::string& shape, double phase, double frequency) {
    if (shape == "sine") return std::sin(phase);
    double sum = 0;
    for (int n = 1; n * frequency < NYQUIST; n += 2) {
        if (shape == "square") sum += std::sin(n * phase) / n;
        else sum += ((n / 2) % 2 ? -1.0 : 1.0) * std::sin(n * phase) / (n * n);
    }
    return sum;
}

bool knownWave(const std::string& shape) { return shape == "sine" || shape == "triangle" || shape == "square"; }

// Frequency gliding exponentially from `from` to `to` over the cue.
double glide(double from, double to, double t) { return from * std::pow(to / from, t); }

Samples tones(int count, const std::vector<double>& frequencies) {
    Samples out(count, 0.0);
    for (double f : frequencies)
        for (int i = 0; i < count; ++i) out[i] += std::sin(TWO_PI * f * i / RATE);
    return out;
}

Samples sweep(int count, double from, double to, const std::string& shape, double endLevel) {
    Samples out(count);
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / count;
        double f = glide(from, to, t);
        out[i] = wave(shape, phase, f) * (1 - (1 - endLevel) * t);
        phase += TWO_PI * f / RATE;
    }
    return out;
}

Samples warble(int count, double centre, double depth, double rate) {
    Samples out(count);
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        double f = centre + depth * std::sin(TWO_PI * rate * i / RATE);
        out[i] = wave("triangle", phase, f);
        phase += TWO_PI * f / RATE;
    }
    return out;
}

Samples thud(int count, double from, double to, double noiseLevel) {
    Samples out(count);
    double phase = 0;
    std::uint32_t noise = 12345;  // the same noise on every run, so the file is reproducible
    double smoothed = 0;
    for (int i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / count;
        double f = glide(from, to, t);
        noise = noise * 1103515245u + 12345u;
        double white = static_cast<double>(noise >> 16 & 0x7FFF) / 16384.0 - 1;
        smoothed += 0.25 * (white - smoothed);  // a low-passed rumble, not a hiss
        double body = std::sin(phase) * std::exp(-4.5 * t);
        double knock = smoothed * noiseLevel * std::exp(-40 * t);
        out[i] = body + knock;
        phase += TWO_PI * f / RATE;
    }
    return out;
}

// A note name such as C5, F#4 or Bb3 as its frequency (A4 = 440 Hz); 0 for a rest.
double noteFrequency(const std::string& name, bool& ok) {
    ok = true;
    if (name == "-") return 0;
    static const std::string letters = "C-D-EF-G-A-B";
    std::size_t letter = name.empty() ? std::string::npos : letters.find(name[0]);
    if (letter == std::string::npos || name[0] == '-') {
        ok = false;
        return 0;
    }
    int semitone = static_cast<int>(letter);
    std::size_t at = 1;
    if (at < name.size() && name[at] == '#') ++semitone, ++at;
    else if (at < name.size() && name[at] == 'b') --semitone, ++at;
    if (at + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[at]))) {
        ok = false;
        return 0;
    }
    int octave = name[at] - '0';
    int fromA4 = semitone - 9 + 12 * (octave - 4);
    return 440.0 * std::pow(2.0, fromA4 / 12.0);
}

struct Note {
    double frequency;  // 0: a rest
    int beats;
};

// Each note starts softly, swells and dies away before the next, so the notes
// stay apart and no step between them clicks.
Samples melody(int count, int beatSamples, const std::string& shape, const std::vector<Note>& notes) {
    Samples out(count, 0.0);
    int start = 0;
    for (const Note& note : notes) {
        int length = note.beats * beatSamples;
        double phase = 0;
        for (int i = 0; note.frequency > 0 && i < length && start + i < count; ++i) {
            double attack = std::min(1.0, i / 80.0);
            double release = std::min(1.0, (length - i) / 400.0);
            double body = 0.55 + 0.45 * std::exp(-3.0 * i / beatSamples);
            double value = wave(shape, phase, note.frequency) + 0.5 * wave("sine", 2 * phase, 2 * note.frequency);
            out[start + i] += value * attack * release * body;
            phase += TWO_PI * note.frequency / RATE;
        }
        start += length;
    }
    return out;
}

void fadeAndScale(Samples& samples) {
    int count = static_cast<int>(samples.size());
    for (int i = 0; i < std::min(FADE_SAMPLES, count); ++i) {
        double gain = static_cast<double>(i) / FADE_SAMPLES;
        samples[i] *= gain;
        samples[count - 1 - i] *= gain;
    }
    double peak = 0;
    for (double s : samples) peak = std::max(peak, std::abs(s));
    if (peak > 0)
        for (double& s : samples) s *= PEAK / peak;
}

std::vector<std::uint8_t> waveFile(const Samples& samples) {
    auto count = static_cast<std::uint32_t>(samples.size());
    ByteWriter out;
    out.text("RIFF");
    out.u32le(36 + count + count % 2);
    out.text("WAVE");
    out.text("fmt ");
    out.u32le(16);
    out.u16le(1);  // PCM
    out.u16le(1);  // mono
    out.u32le(8000);
    out.u32le(8000);  // bytes per second
    out.u16le(1);     // block align
    out.u16le(8);     // bits per sample
    out.text("data");
    out.u32le(count);
    for (double s : samples) out.u8(static_cast<unsigned>(std::lround(128 + 127 * s)));
    if (count % 2) out.u8(128);
    return out.bytes;
}

}  // namespace

std::vector<SoundFile> synthesiseSounds(const std::filesystem::path& parameters) {
    std::vector<std::string> lines = readLines(parameters);
    std::vector<SoundFile> files;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::istringstream words(lines[i]);
        std::string keyword;
        if (!(words >> keyword) || keyword.starts_with("//")) continue;
        if (keyword != "cue") failAt(parameters, i + 1, "expected a cue");
        std::string name, kind;
        int count = 0;
        words >> name >> count >> kind;
        if (name.empty() || count <= 0) failAt(parameters, i + 1, "expected: cue <name> <samples> <kind> ...");
        auto bad = [&](const char* what) { failAt(parameters, i + 1, what); };
        Samples samples;
        if (kind == "tones") {
            std::vector<double> frequencies;
            for (double f; words >> f;) frequencies.push_back(f);
            if (frequencies.empty()) bad("tones needs at least one frequency");
            samples = tones(count, frequencies);
        } else if (kind == "sweep") {
            double from = 0, to = 0, endLevel = -1;
            std::string shape;
            words >> from >> to >> shape >> endLevel;
            if (from <= 0 || to <= 0 || !knownWave(shape) || endLevel < 0) bad("expected: sweep <hz> <hz> <wave> <end level>");
            samples = sweep(count, from, to, shape, endLevel);
        } else if (kind == "warble") {
            double centre = 0, depth = -1, rate = 0;
            words >> centre >> depth >> rate;
            if (centre <= 0 || depth < 0 || rate <= 0) bad("expected: warble <hz> <depth hz> <rate hz>");
            samples = warble(count, centre, depth, rate);
        } else if (kind == "thud") {
            double from = 0, to = 0, noiseLevel = -1;
            words >> from >> to >> noiseLevel;
            if (from <= 0 || to <= 0 || noiseLevel < 0) bad("expected: thud <hz> <hz> <noise level>");
            samples = thud(count, from, to, noiseLevel);
        } else if (kind == "melody") {
            int beat = 0;
            std::string shape;
            words >> beat >> shape;
            if (beat <= 0 || !knownWave(shape)) bad("expected: melody <samples per beat> <wave>");
            std::vector<Note> notes;
            while (i + 1 < lines.size() && lines[i + 1].starts_with("notes")) {
                std::istringstream tokens(lines[++i].substr(5));
                for (std::string token; tokens >> token;) {
                    std::size_t colon = token.find(':');
                    bool ok = colon != std::string::npos;
                    double f = ok ? noteFrequency(token.substr(0, colon), ok) : 0;
                    int beats = ok ? std::atoi(token.c_str() + colon + 1) : 0;
                    if (!ok || beats <= 0) failAt(parameters, i + 1, "not a note: " + token);
                    notes.push_back({f, beats});
                }
            }
            if (notes.empty()) bad("a melody needs notes lines");
            samples = melody(count, beat, shape, notes);
        } else {
            bad("unknown kind of cue");
        }
        fadeAndScale(samples);
        files.push_back({name, waveFile(samples)});
    }
    return files;
}
