// A whole attempt against the scripted library: what goes over the wire, and
// what the record says afterwards, also when a step fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>

#include "fake_internet.h"
#include "net/machine_facts.h"
#include "net/score_submission.h"

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
        if (key != "f2") {
            std::string plain;
            for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
                plain += static_cast<char>(std::stoi(value.substr(i, 2), nullptr, 16) ^ fieldKey[(i / 2) % 8]);
            }
            value = plain;
        }
        fields[key] = value;
        start = end + 1;
    }
    return fields;
}

class Submission : public testing::Test {
protected:
    void SetUp() override {
        platform::host::installLibrary("WinINet", &library);
        fakeInternet() = {};
        platform::host::setLastError(0);
        platform::host::setCalendarSeconds(1000, 50);  // a speed count of 98
        platform::host::setProcessorType(8664);
        std::ofstream(programFile, std::ios::binary) << "abc";
        platform::host::setModulePath(programFile);
        record.userName = "anna@example.se";
        record.password = "hemligt";
        record.score = 1250;
        record.playTime = 65000;
    }

    platform::host::FakeLibrary library = FakeInternet::library();
    std::string programFile = testing::TempDir() + "zifra_submission_program.bin";
    SubmissionRecord record;
};

TEST_F(Submission, PostsTheElevenFieldsInOrderWithTheFormHeader) {
    struct Case {
        std::int32_t recorded;
        std::uint8_t integrityFlag;
        std::string score, withName, sum;
    };
    // The lowest score has no positive counterpart: negating it wraps to itself.
    for (const Case& c : {Case{1250, 0, "1250", "1250anna@example.se", "1253"},
                          Case{1250, 1, "-1250", "-1250anna@example.se", "-1247"},
                          Case{INT32_MIN, 1, "-2147483648", "-2147483648anna@example.se", "-2147483645"}}) {
        SCOPED_TRACE(std::to_string(c.recorded) + " with integrity flag " + std::to_string(c.integrityFlag));
        fakeInternet() = {};
        fakeInternet().response = "0";
        record.score = c.recorded;
        record.integrityFlag = c.integrityFlag;
        submitScore(record);

        const FakeInternet& f = fakeInternet();
        EXPECT_EQ(f.verb, "POST");
        EXPECT_EQ(f.path, "/r0002.asp");
        EXPECT_EQ(f.headers, "Content-Type: application/x-www-form-urlencoded");
        EXPECT_EQ(f.headersLength, 47u);
        EXPECT_EQ(f.readLimit, 16383u);
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
    fakeInternet().response = "0";
    submitScore(record);
    EXPECT_NE(fakeInternet().body.find("&f4=0DA3E13E&"), std::string::npos);
}

TEST_F(Submission, AnAcceptedAnswerClosesRequestConnectionAndSession) {
    fakeInternet().response = "0\r\n5\r\n";
    record.resultCode = 99;
    submitScore(record);
    EXPECT_EQ(record.resultCode, 0);
    EXPECT_EQ(record.versionNumber, 5);
    EXPECT_EQ(record.message, "0\r\n5");
    EXPECT_EQ(fakeInternet().calls,
              (std::vector<std::string>{"InternetOpenA", "InternetConnectA", "HttpOpenRequestA", "HttpSendRequestA",
                                        "InternetReadFile", "InternetCloseHandle", "InternetCloseHandle",
                                        "InternetCloseHandle"}));
    EXPECT_EQ(fakeInternet().closedHandles, (std::vector<void*>{fakeRequest(), fakeConnection(), fakeSession()}));
}

TEST_F(Submission, AnUnreadableProgramFileSendsZeroChecksumAndLength) {
    platform::host::setModulePath(testing::TempDir() + "no_such_program.exe");
    fakeInternet().response = "0";
    submitScore(record);
    auto fields = decodeBody(fakeInternet().body);
    EXPECT_EQ(fields["f8"], "0");
    EXPECT_EQ(fields["f9"], "0");
    EXPECT_EQ(fields["fb"], "1250");
}

TEST_F(Submission, AFailedStepIsNeverAnAcceptance) {
    struct Case {
        const char* what;
        void (*script)(FakeInternet&);
        std::uint32_t failedCallError;
        std::uint32_t responseInfoError;
        std::int32_t resultCode;
        bool requestMade;
    };
    const Case cases[] = {
        {"session, library explains", [](FakeInternet& f) { f.openFails = true; }, 0, 12007, 12007, false},
        {"connection refused, only the system explains", [](FakeInternet& f) { f.connectFails = true; }, 12029, 0,
         12029, false},
        {"no request", [](FakeInternet& f) { f.requestFails = true; }, 12002, 0, 12002, true},
        {"send, only the system explains", [](FakeInternet& f) { f.sendFails = true; }, 12029, 0, 12029, true},
        {"send, nobody explains", [](FakeInternet& f) { f.sendFails = true; }, 0, 0, -2, true},
        {"read, library explains", [](FakeInternet& f) { f.readFails = true; }, 6, 12002, 12002, true},
        {"read, nobody explains", [](FakeInternet& f) { f.readFails = true; }, 0, 0, -2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fakeInternet() = {};
        c.script(fakeInternet());
        fakeInternet().failedCallError = c.failedCallError;
        fakeInternet().responseInfoError = c.responseInfoError;
        fakeInternet().responseInfoText = "svar";
        fakeInternet().response = "0";
        record.resultCode = 0;
        record.versionNumber = 4;
        submitScore(record);
        EXPECT_EQ(record.resultCode, c.resultCode);
        EXPECT_EQ(record.message, "svar");
        EXPECT_EQ(record.versionNumber, 4) << "no answer read, the version stands";
        const auto& calls = fakeInternet().calls;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "HttpOpenRequestA"), c.requestMade ? 1 : 0);
        const auto& closed = fakeInternet().closedHandles;
        EXPECT_EQ(std::count(closed.begin(), closed.end(), fakeSession()), fakeInternet().openFails ? 0 : 1)
            << "an opened session is closed, also when the connection fails";
    }
}

TEST_F(Submission, TheLibrarysFailureTextIsCutTo127Characters) {
    fakeInternet().connectFails = true;
    fakeInternet().responseInfoError = 12007;
    fakeInternet().responseInfoText = std::string(127, 'x') + "yz";
    submitScore(record);
    EXPECT_EQ(record.message, std::string(127, 'x'));
}

}  // namespace
