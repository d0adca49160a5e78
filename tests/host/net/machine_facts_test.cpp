#include <gtest/gtest.h>

#include <fstream>

#include "net/machine_facts.h"
#include "platform/host_control.h"

namespace {

TEST(ProgramChecksum, IsTheUncomplementedCrcOfTheProgramFile) {
    std::string path = testing::TempDir() + "zifra_checksum_abc.bin";
    std::ofstream(path, std::ios::binary) << "abc";
    platform::host::setModulePath(path);
    EXPECT_EQ(programChecksum(), 3395655888u);
    EXPECT_EQ(programByteCount, 3u);

    platform::host::setModulePath(testing::TempDir() + "zifra_checksum_missing.bin");
    EXPECT_EQ(programChecksum(), 0u);
    EXPECT_EQ(programByteCount, 0u) << "the count of the earlier file does not linger";
}

TEST(ProgramChecksum, ReadsEveryByteOfABinaryFile) {
    std::string path = testing::TempDir() + "zifra_checksum_binary.bin";
    std::string bytes = std::string("\r\n\x1A\0\xFF", 5) + std::string(70000, '\x5A');
    std::ofstream(path, std::ios::binary) << bytes;
    platform::host::setModulePath(path);
    programChecksum();
    EXPECT_EQ(programByteCount, bytes.size());
}

TEST(MeasureSpeed, CountsTheReadingsUntilTheCalendarPassesTwoSecondsOn) {
    // k readings a second: the wait ends at reading 2k, the count runs from
    // reading 2k+3 to reading 4k, the one that passes t2 + 1, inclusive.
    for (std::uint32_t k : {2u, 10u, 1000u}) {
        platform::host::setCalendarSeconds(5000, k);
        EXPECT_EQ(measureSpeed(), static_cast<std::int32_t>(2 * k - 2)) << k;
    }
}

TEST(CpuTypeText, NamesTheKnownProcessorTypes) {
    const std::pair<int, const char*> cases[] = {
        {386, "CPU INTEL 386"},   {486, "CPU INTEL 486"},     {586, "CPU INTEL PENTIUM"}, {4000, "CPU MIPS R4000"},
        {21064, "CPU ALPHA 21064"}, {8664, "CPU UNKNOWN"}, {0, "CPU UNKNOWN"},
    };
    for (auto [type, text] : cases) {
        platform::host::setProcessorType(type);
        EXPECT_STREQ(cpuTypeText(), text) << type;
    }
}

}  // namespace
