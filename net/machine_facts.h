#pragma once
// Facts about the machine and the program's own file that go with a score.
#include <cstdint>

// How many calendar readings the machine makes in about two seconds; takes
// three to four seconds.
std::int32_t measureSpeed();

// The processor type as a text: "CPU INTEL 386" ... "CPU UNKNOWN".
const char* cpuTypeText();

struct ProgramChecksum {
    std::uint32_t checksum = 0;
    std::uint32_t byteCount = 0;
};

// A CRC-32 of the program file (reflected polynomial 0xEDB88320, register
// starting at 0, not complemented) and the file's length in bytes; both 0
// when the file cannot be read.
ProgramChecksum programChecksum();
