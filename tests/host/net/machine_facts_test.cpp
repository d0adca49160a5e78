#include <gtest/gtest.h>

#include <fstream>

#include "net/machine_facts.h"
#include "platform/fake_control.h"

namespace {

TEST(ProgramChecksum, IsTheUncomplementedCrcOfTheProgramFile) {
    std::string path = testing::TempDir() + "zifra_checksum_abc.bin";
    std::ofstream(path, std::ios::binary) << "abc";
    platform::fake::setModulePath(path);
    ProgramChecksum abc = programChecksum();
    EXPECT_EQ(abc.checksum, 3395655888u);
    EXPECT_EQ(abc.byteCount, 3u);

    platform::fake::setModulePath(testing::TempDir() + "zifra_checksum_missing.bin");
    ProgramChecksum missing = programChecksum();
    EXPECT_EQ(missing.checksum, 0u);
    EXPECT_EQ(missing.byteCount, 0u);
}

TEST(ProgramChecksum, ReadsEveryByteOfABinaryFile) {
    std::string path = testing::TempDir() + "zifra_checksum_binary.bin";
    std::string bytes = std::string("\r\n\x1A\0\xFF", 5) + std::string(70000, '\x5A');
    std::ofstream(path, std::ios::binary) << bytes;
    platform::fake::setModulePath(path);
    EXPECT_EQ(programChecksum().byteCount, bytes.size());
}

TEST(MeasureSpeed, CountsTheReadingsUntilTheCalendarPassesTwoSecondsOn) {
    // k readings a second: the wait ends at reading 2k, the count runs from
    // reading 2k+3 to reading 4k, the one that passes t2 + 1, inclusive.
    for (std::uint32_t k : {2u, 10u, 1000u}) {
        platform::fake::setCalendarSeconds(5000, k);
        EXPECT_EQ(measureSpeed(), static_cast<std::int32_t>(2 * k - 2)) << k;
    }
}

TEST(CpuTypeText, NamesTheKnownProcessorTypes) {
    const std::pair<int, const char*> cases[] = {
        {386, "CPU INTEL 386"},   {486, "CPU INTEL 486"},     {586, "CPU INTEL PENTIUM"}, {4000, "CPU MIPS R4000"},
        {21064, "CPU ALPHA 21064"}, {8664, "CPU UNKNOWN"}, {0, "CPU UNKNOWN"},
    };
    for (auto [type, text] : cases) {
        platform::fake::setProcessorType(type);
        EXPECT_STREQ(cpuTypeText(), text) << type;
    }
}

}  // namespace
