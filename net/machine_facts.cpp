#include "net/machine_facts.h"

#include <cstdio>
#include <string>

#include "net/build_checksum.h"
#include "platform/calendar.h"
#include "platform/module.h"
#include "platform/processor.h"

std::int32_t measureSpeed() {
    // Start just after the calendar has turned a second, then count readings
    // until it has passed the next one.
    std::int64_t t0 = platform::calendarSeconds();
    while (platform::calendarSeconds() <= t0 + 1) {
    }
    std::int64_t t2 = platform::calendarSeconds();
    if (platform::calendarSeconds() > t2 + 1) return 0;
    std::int32_t count = 0;
    do {
        ++count;
    } while (platform::calendarSeconds() <= t2 + 1);
    return count;
}

const char* cpuTypeText() {
    switch (platform::processorType()) {
        case 386: return "CPU INTEL 386";
        case 486: return "CPU INTEL 486";
        case 586: return "CPU INTEL PENTIUM";
        case 4000: return "CPU MIPS R4000";
        case 21064: return "CPU ALPHA 21064";
        default: return "CPU UNKNOWN";
    }
}

ProgramChecksum programChecksum() {
    std::string path = platform::modulePath();
    ProgramChecksum result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return result;
    for (int b; (b = std::fgetc(file)) != EOF;) {
        result.checksum = checksumStep(result.checksum, static_cast<std::uint8_t>(b));
        ++result.byteCount;
    }
    std::fclose(file);
    return result;
}
