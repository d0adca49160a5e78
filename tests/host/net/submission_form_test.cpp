// The score form both ends share: what the game writes, the service reads back.
#include <gtest/gtest.h>

#include "net/build_checksum.h"
#include "net/submission_form.h"

namespace {

TEST(SubmissionForm, ABodyReadsBackIntoTheValuesItWasMadeOf) {
    const SubmissionForm forms[] = {
        {"anna@example.se", 4, "hemligt", 1250, 65000, 98, "CPU UNKNOWN", 3395655888u, 3},
        {"\xC5sa \xF6@x.se", -7, "\xE4\xFF", -1250, 4294967295u, 0, "", 0, 0},
        {std::string(64, 'n'), 2147483647, std::string(16, 'p'), INT32_MIN, 0, INT32_MAX, std::string(32, 'C'),
         UINT32_MAX, UINT32_MAX},
    };
    for (const SubmissionForm& form : forms) {
        ReadForm read = readFormBody(formBody(form));
        ASSERT_EQ(read.outcome, FormReading::read) << formBody(form);
        const SubmissionForm& got = read.form;
        EXPECT_EQ(std::tie(got.userName, got.gameId, got.password, got.score, got.playTime, got.speedCount,
                           got.processorText, got.checksum, got.byteCount),
                  std::tie(form.userName, form.gameId, form.password, form.score, form.playTime, form.speedCount,
                           form.processorText, form.checksum, form.byteCount));
    }
}

TEST(SubmissionForm, UnscramblingUndoesScramblingAndTakesOnlyUpperCaseHexPairs) {
    for (const std::string& text : {std::string(), std::string("abc"), std::string(9, 'A'), std::string("\0\xE4\xFF", 3)}) {
        EXPECT_EQ(unscrambleField(scrambleField(text)), text);
    }
    for (const char* bad : {"5", "5df3b7", "5DF3G7", "5D F3"}) EXPECT_FALSE(unscrambleField(bad)) << bad;
}

TEST(BuildChecksum, IsTheUncomplementedCrcFromZero) {
    EXPECT_EQ(checksumOf("abc"), 3395655888u);
    EXPECT_EQ(checksumOf("bc", checksumStep(0, 'a')), 3395655888u);
    EXPECT_EQ(checksumOf(""), 0u);
}

}  // namespace
