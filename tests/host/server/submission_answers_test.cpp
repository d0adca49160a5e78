// Every answer code of a score submission, with the bodies made by the game's
// own encoder (or broken from one), and what each leaves in the database.
#include <chrono>
#include <functional>

#include "service_fixture.h"

namespace {

class SubmissionAnswers : public ServiceFixture {
protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        signUp("anna@example.se", "Anna", "hemligt1");
    }
};

// A body with one field's value replaced (the others as formBody made them).
std::string withField(const std::string& body, const std::string& key, const std::string& value) {
    std::size_t at = body.find(key + "=");
    std::size_t end = body.find('&', at);
    return body.substr(0, at + key.size() + 1) + value + (end == std::string::npos ? "" : body.substr(end));
}

TEST_F(SubmissionAnswers, EachCaseGetsItsCodeAndOnlyAcceptedOnesAreStored) {
    struct Case {
        const char* what;
        std::function<std::string(const SubmissionForm&)> body;
        AnswerCode code;
    };
    auto plain = [](const SubmissionForm& f) { return formBody(f); };
    auto changed = [](std::function<void(SubmissionForm&)> change) {
        return [change](const SubmissionForm& f) {
            SubmissionForm g = f;
            change(g);
            return formBody(g);
        };
    };
    const Case cases[] = {
        {"a good score", plain, AnswerCode::accepted},
        {"the name in other letter case", changed([](SubmissionForm& f) { f.userName = "ANNA@Example.SE"; }),
         AnswerCode::accepted},
        {"the name with spaces around it", changed([](SubmissionForm& f) { f.userName = " anna@example.se  "; }),
         AnswerCode::accepted},
        {"a score of 0 at play time 0", changed([](SubmissionForm& f) { f.score = 0, f.playTime = 0; }),
         AnswerCode::accepted},
        {"an unknown name", changed([](SubmissionForm& f) { f.userName = "berit@example.se"; }),
         AnswerCode::notSignedUp},
        {"a wrong password", changed([](SubmissionForm& f) { f.password = "hemligt2"; }), AnswerCode::wrongPassword},
        {"fa without the name", [](const SubmissionForm& f) { return withField(formBody(f), "fa", scrambleField("1250")); },
         AnswerCode::refused},
        {"fb not the sum", [](const SubmissionForm& f) { return withField(formBody(f), "fb", scrambleField("1250")); },
         AnswerCode::refused},
        {"a negated score", changed([](SubmissionForm& f) { f.score = -1250; }), AnswerCode::refused},
        {"an unknown game", changed([](SubmissionForm& f) { f.gameId = 5; }), AnswerCode::refused},
        {"an unknown build", changed([](SubmissionForm& f) { f.checksum ^= 1; }), AnswerCode::refused},
        {"an unreadable program file", changed([](SubmissionForm& f) { f.checksum = 0, f.byteCount = 0; }),
         AnswerCode::refused},
        {"too many points for the time", changed([](SubmissionForm& f) { f.score = 30000, f.playTime = 7000; }),
         AnswerCode::refused},
        {"a play time of a whole day", changed([](SubmissionForm& f) { f.playTime = 86400000; }), AnswerCode::accepted},
        {"a play time a millisecond past a day", changed([](SubmissionForm& f) { f.playTime = 86400001; }),
         AnswerCode::refused},
        {"a play time of 2^31 ms", changed([](SubmissionForm& f) { f.playTime = 2147483648u; }), AnswerCode::refused},
        {"a play time of -1, read as 4294967295 ms, with 2,000,000 points",
         changed([](SubmissionForm& f) { f.playTime = 0xFFFFFFFFu, f.score = 2000000; }), AnswerCode::refused},
        {"a field missing", [](const SubmissionForm& f) { return formBody(f).substr(0, formBody(f).find("&fb=")); },
         AnswerCode::malformed},
        {"fields out of order",
         [](const SubmissionForm& f) {
             std::string b = formBody(f);
             std::size_t fa = b.find("&fa="), fb = b.find("&fb=");
             return b.substr(0, fa) + b.substr(fb) + b.substr(fa, fb - fa);
         },
         AnswerCode::malformed},
        {"an odd number of hex digits", [](const SubmissionForm& f) { return withField(formBody(f), "f4", "0DA3E"); },
         AnswerCode::malformed},
        {"lower-case hex", [](const SubmissionForm& f) { return withField(formBody(f), "f4", "0da3e13e"); },
         AnswerCode::malformed},
        {"not hex", [](const SubmissionForm& f) { return withField(formBody(f), "f4", "ZZ"); }, AnswerCode::malformed},
        {"a score that is no number",
         [](const SubmissionForm& f) {
             std::string b = withField(formBody(f), "f4", scrambleField("12a"));
             return withField(b, "fa", scrambleField("12a" + f.userName));
         },
         AnswerCode::malformed},
        {"a game id that is no number", [](const SubmissionForm& f) { return withField(formBody(f), "f2", "4x"); },
         AnswerCode::malformed},
        {"a score past 32 bits",
         [](const SubmissionForm& f) {
             std::string b = withField(formBody(f), "f4", scrambleField("4294967296"));
             return withField(b, "fa", scrambleField("4294967296" + f.userName));
         },
         AnswerCode::malformed},
        {"a 65-character name", changed([](SubmissionForm& f) { f.userName = std::string(54, 'a') + "@example.se"; }),
         AnswerCode::malformed},
        {"a 17-character password", changed([](SubmissionForm& f) { f.password = std::string(17, 'p'); }),
         AnswerCode::malformed},
        {"an empty password", changed([](SubmissionForm& f) { f.password.clear(); }), AnswerCode::malformed},
        {"an over-long processor text", changed([](SubmissionForm& f) { f.processorText = std::string(33, 'C'); }),
         AnswerCode::malformed},
        {"a NUL byte in the name",
         changed([](SubmissionForm& f) { f.userName = std::string("anna@example.se\0zz", 18); }), AnswerCode::malformed},
        {"a NUL byte in the password",
         changed([](SubmissionForm& f) { f.password = std::string("hemligt1\0zz", 11); }), AnswerCode::malformed},
        {"a NUL byte in the processor text",
         changed([](SubmissionForm& f) { f.processorText = std::string("CPU\0", 4); }), AnswerCode::malformed},
        {"no form at all", [](const SubmissionForm&) { return std::string("{\"score\": 1250}"); },
         AnswerCode::malformed},
        {"an empty body", [](const SubmissionForm&) { return std::string(); }, AnswerCode::malformed},
        {"a twelfth field", [](const SubmissionForm& f) { return formBody(f) + "&fc=00"; }, AnswerCode::malformed},
    };
    SubmissionForm good = gameForm("anna@example.se", "hemligt1", 1250);
    std::int64_t stored = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SubmissionAnswer answer = service->submit(c.body(good));
        EXPECT_EQ(answer.code, c.code) << answer.text;
        EXPECT_FALSE(answer.text.empty());
        if (c.code == AnswerCode::accepted) ++stored;
        EXPECT_EQ(count("SELECT COUNT(*) FROM submissions"), stored);
    }
}

TEST_F(SubmissionAnswers, AFormSentAgainIsAnsweredAcceptedAndStoredOnce) {
    SubmissionForm form = gameForm("anna@example.se", "hemligt1", 1250);
    for (int send = 0; send < 3; ++send) {
        ++now;
        EXPECT_EQ(submit(form).code, AnswerCode::accepted) << send;
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM submissions"), 1);
    EXPECT_EQ(service->topTen(4).at(0).achievedAt, 1700000001);
    // Anything else in the form makes it another score.
    form.playTime += 40;
    EXPECT_EQ(submit(form).code, AnswerCode::accepted);
    EXPECT_EQ(count("SELECT COUNT(*) FROM submissions"), 2);
}

TEST_F(SubmissionAnswers, WithoutAListOfBuildsAnyBuildIsTaken) {
    settings.builds.reset();
    startService();
    SubmissionForm form = gameForm("anna@example.se", "hemligt1", 1250);
    form.checksum = 0, form.byteCount = 0;
    EXPECT_EQ(submit(form).code, AnswerCode::accepted);
}

TEST_F(SubmissionAnswers, TheTimeBoundIsTakenExactly) {
    // 7000 ms: frames 0 to 175, at most 160 points each.
    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 28160, 7000)).code, AnswerCode::accepted);
    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 28161, 7000)).code, AnswerCode::refused);
    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 28320, 7040)).code, AnswerCode::accepted);
}

TEST_F(SubmissionAnswers, WithNoDatabaseConnectionFreeTheAnswerIsTryAgainLater) {
    service.reset();
    pool = std::make_unique<ConnectionPool>(databaseUrl, 1, std::chrono::milliseconds(200));
    startService();
    {
        auto held = pool->borrow();
        auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 1250)).code, AnswerCode::unavailable);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM submissions"), 0);
    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 1250)).code, AnswerCode::accepted);
}

TEST_F(SubmissionAnswers, EveryAcceptedSubmissionIsKeptAndTheListShowsTheBest) {
    for (std::int32_t score : {300, 1250, 800}) {
        ++now;
        EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", score)).code, AnswerCode::accepted);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM submissions"), 3);
    auto list = service->topTen(4);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].nickname, "Anna");
    EXPECT_EQ(list[0].score, 1250);
    EXPECT_EQ(list[0].achievedAt, 1700000002);
}

}  // namespace
