// A whole attempt against the scripted HTTP seam: the form that is posted,
// and what the record says afterwards, also when there is no answer.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>

#include "build_settings.h"
#include "net/score_submission.h"
#include "net/submission_form.h"
#include "platform/fake_control.h"

namespace {

// The body's fields by key; every value but f2's unscrambled.
std::map<std::string, std::string> decodeBody(const std::string& body) {
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string::npos) end = body.size();
        std::string field = body.substr(start, end - start);
        std::string key = field.substr(0, field.find('='));
        std::string value = field.substr(key.size() + 1);
        if (key != "f2") value = unscrambleField(value).value_or("(not scrambled hex)");
        fields[key] = value;
        start = end + 1;
    }
    return fields;
}

class Submission : public testing::Test {
protected:
    void SetUp() override {
        answer("0");
        platform::fake::setCalendarSeconds(1000, 50);  // a speed count of 98
        platform::fake::setProcessorType(8664);
        std::ofstream(programFile, std::ios::binary) << "abc";
        platform::fake::setModulePath(programFile);
        record.userName = "anna@example.se";
        record.password = "hemligt";
        record.score = 1250;
        record.playTime = 65000;
    }

    static void answer(std::string text) { platform::fake::setHttpAnswer({true, 0, std::move(text)}); }
    // The one form the last attempt posted.
    static const platform::fake::PostedForm& posted() { return platform::fake::postedForms().back(); }

    std::string programFile = testing::TempDir() + "zifra_submission_program.bin";
    SubmissionRecord record;
};

TEST_F(Submission, PostsTheElevenFieldsInOrderWithTheFormHeader) {
    struct Case {
        std::int32_t recorded;
        std::uint8_t integrityFlag;
        std::string score, withName, sum;
    };
    const Case cases[] = {
        {1250, 0, "1250", "1250anna@example.se", "1253"},
        {1250, 1, "-1250", "-1250anna@example.se", "-1247"},
        // The lowest score has no positive counterpart: negating it wraps to itself.
        {INT32_MIN, 1, "-2147483648", "-2147483648anna@example.se", "-2147483645"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.recorded) + " with integrity flag " + std::to_string(c.integrityFlag));
        record.score = c.recorded;
        record.integrityFlag = c.integrityFlag;
        submitScore(record);

        const platform::fake::PostedForm& f = posted();
        EXPECT_EQ(f.host, competitionHost);
        EXPECT_EQ(f.port, competitionPort);
        EXPECT_EQ(f.path, "/r0002.asp");
        EXPECT_EQ(f.header, "Content-Type: application/x-www-form-urlencoded");
        EXPECT_EQ(record.score, std::stoi(c.score)) << "the record itself carries the negated score";

        std::vector<std::string> keys;
        for (std::size_t at = 0; at < f.body.size(); at = f.body.find('&', at + 1)) {
            keys.push_back(f.body.substr(at == 0 ? 0 : at + 1, 2));
            if (f.body.find('&', at + 1) == std::string::npos) break;
        }
        EXPECT_EQ(keys, (std::vector<std::string>{"f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "fa", "fb"}));
        EXPECT_EQ(decodeBody(f.body), (std::map<std::string, std::string>{
                                          {"f1", "anna@example.se"},
                                          {"f2", "4"},
                                          {"f3", "hemligt"},
                                          {"f4", c.score},
                                          {"f5", "65000"},
                                          {"f6", "98"},
                                          {"f7", "CPU UNKNOWN"},
                                          {"f8", "3395655888"},
                                          {"f9", "3"},
                                          {"fa", c.withName},
                                          {"fb", c.sum},
                                      }));
    }
}

// "1250" scrambled by hand: the key starts again at its first byte in f4.
TEST_F(Submission, FieldFourIsScrambledFromTheFirstKeyByte) {
    submitScore(record);
    EXPECT_NE(posted().body.find("&f4=0DA3E13E&"), std::string::npos);
}

TEST_F(Submission, TheAnswerBecomesTheOutcome) {
    answer("0\r\n5\r\n");
    record.resultCode = 99;
    submitScore(record);
    EXPECT_EQ(record.resultCode, 0);
    EXPECT_EQ(record.versionNumber, 5);
    EXPECT_EQ(record.message, "0\r\n5");
}

TEST_F(Submission, AnUnreadableProgramFileSendsZeroChecksumAndLength) {
    platform::fake::setModulePath(testing::TempDir() + "no_such_program.exe");
    submitScore(record);
    auto fields = decodeBody(posted().body);
    EXPECT_EQ(fields["f8"], "0");
    EXPECT_EQ(fields["f9"], "0");
    EXPECT_EQ(fields["fb"], "1250");
}

TEST_F(Submission, WithoutAnAnswerTheFailureIsTheOutcomeAndTheVersionStands) {
    for (bool connects : {true, false}) {
        SCOPED_TRACE(connects ? "failed after connecting" : "no connection");
        platform::fake::setHttpAnswer({false, 12029, "svar"}, connects);
        record.score = 1250;
        record.integrityFlag = true;
        record.resultCode = 0;
        record.versionNumber = 4;
        submitScore(record);
        EXPECT_EQ(record.resultCode, 12029);
        EXPECT_EQ(record.message, "svar");
        EXPECT_EQ(record.versionNumber, 4);
        EXPECT_EQ(posted().bodyAsked, connects);
        EXPECT_EQ(record.score, connects ? -1250 : 1250) << "the score is negated as its form is built";
    }
}

}  // namespace
