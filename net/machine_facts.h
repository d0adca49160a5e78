#pragma once
// Facts about the machine and the program's own file that go with a score.
#include <cstdint>

// Byte length of the program file, as the last programChecksum counted it.
extern std::uint32_t programByteCount;

// How many calendar readings the machine makes in about two seconds; takes
// three to four seconds.
std::int32_t measureSpeed();

// The processor type as a text: "CPU INTEL 386" ... "CPU UNKNOWN".
const char* cpuTypeText();

// A CRC-32 of the program file (reflected polynomial 0xEDB88320, register
// starting at 0, not complemented); also sets programByteCount. 0 with a count
// of 0 when the file cannot be read.
std::uint32_t programChecksum();
