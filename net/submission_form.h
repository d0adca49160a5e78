#pragma once
// The score form that both ends of the competition protocol share: the
// eleven fields in their order, the scrambling of their values, and building
// a body from values and reading one back. The game sends with it and the
// competition service reads with it, so the two can never drift apart.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/field_limits.h"

// Scrambles every form value but the game id.
inline constexpr std::uint8_t fieldKey[8] = {0x3C, 0x91, 0xD4, 0x0E, 0x6B, 0xA2, 0x58, 0x17};

// The keys of the eleven fields, in the order the body carries them.
inline constexpr std::array<std::string_view, 11> formFieldKeys = {"f1", "f2", "f3", "f4", "f5", "f6",
                                                                   "f7", "f8", "f9", "fa", "fb"};

// The longest processor text a reader takes; the typed texts are bounded by
// what the registration dialog takes (field_limits.h).
inline constexpr std::size_t maxFormProcessorText = 32;

// Each byte exclusive-or the key byte of its place in the field (the key
// starts again for every field), as two upper-case hexadecimal digits.
std::string scrambleField(std::string_view text);

// The text scrambleField made of it; nothing when the value is not pairs of
// upper-case hexadecimal digits.
std::optional<std::string> unscrambleField(std::string_view scrambled);

// What a form says. The last two fields repeat values of the others (the
// score followed by the user name; the program's length plus the score) and
// are made from them.
struct SubmissionForm {
    std::string userName;  // bytes as typed, code page 1252
    std::int32_t gameId = 0;
    std::string password;  // bytes as typed, code page 1252
    std::int32_t score = 0;  // already negated when the game distrusts it
    std::uint32_t playTime = 0;  // ms; sent as a signed number
    std::int32_t speedCount = 0;
    std::string processorText;
    std::uint32_t checksum = 0;  // of the program's file
    std::uint32_t byteCount = 0;  // of the program's file
};

// The body: the eleven fields in order, without separators other than the
// keys and without URL escaping.
std::string formBody(const SubmissionForm& form);

enum class FormReading {
    read,
    malformed,  // a field missing or out of order, bad hex, a bad or over-long value
    inconsistent,  // fa or fb does not repeat the fields it is made from
};

struct ReadForm {
    FormReading outcome = FormReading::malformed;
    SubmissionForm form;  // complete only when outcome is read
};

// The values of a body as formBody writes it.
ReadForm readFormBody(std::string_view body);
