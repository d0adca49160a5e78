#pragma once
// The sound cues, synthesised from the parameters in res/sounds.txt.
//
//   cue <name> <samples> tones <hz> <hz> ...            equal sines, as the keypad's tone pairs
//   cue <name> <samples> sweep <from hz> <to hz> <wave> <end level>
//                                                       a glide, fading to <end level> of full
//   cue <name> <samples> warble <hz> <depth hz> <rate hz>
//   cue <name> <samples> thud <from hz> <to hz> <noise level>
//   cue <name> <samples> melody <samples per beat> <wave>
//   notes <note>:<beats> ...                            the melody's notes (C5, F#4, - for a rest)
//
// <wave> is sine, triangle or square (band-limited). Every cue fades in and
// out over 5 ms and is scaled to peak at 90% of full scale, so nothing clicks
// or clips.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct SoundFile {
    std::string name;
    std::vector<std::uint8_t> bytes;  // RIFF/WAVE, PCM, mono, 8000 Hz, 8-bit unsigned
};

std::vector<SoundFile> synthesiseSounds(const std::filesystem::path& parameters);
