// A sign-up's address confirmed by the mailed link before any score counts.
#include "mailed_links.h"
#include "service_fixture.h"

namespace {

using Confirmation = ServiceFixture;

TEST_F(Confirmation, ScoresCountOnlyOnceTheMailedLinkIsAnswered) {
    ASSERT_EQ(service->signUp({"anna@example.se", "Anna", "hemligt1", "hemligt1"}).faults, std::vector<std::string>{});
    std::vector<std::string> tokens = mailedTokens(outbox, "confirm.htm", "anna@example.se");
    ASSERT_EQ(tokens.size(), 1u);
    const std::string token = tokens[0];

    struct Step {
        const char* what;
        std::int64_t later;
        std::function<AnswerCode()> act;
        AnswerCode code;
    };
    auto score = [&](const char* password) { return submit(gameForm("anna@example.se", password, 100)).code; };
    const Step steps[] = {
        {"a right password before confirming", 0, [&] { return score("hemligt1"); }, AnswerCode::notSignedUp},
        {"a wrong one is still wrong", 0, [&] { return score("fel"); }, AnswerCode::wrongPassword},
        {"a made-up link confirms nothing", 0,
         [&] { return service->confirmEmail("pAXt3kn") == Outcome::done ? AnswerCode::accepted : AnswerCode::refused; },
         AnswerCode::refused},
        {"the mailed link", 60, [&] { return service->confirmEmail(token) == Outcome::done ? AnswerCode::accepted : AnswerCode::refused; },
         AnswerCode::accepted},
        {"then the score counts", 0, [&] { return score("hemligt1"); }, AnswerCode::accepted},
        {"the link works once", 0,
         [&] { return service->confirmEmail(token) == Outcome::done ? AnswerCode::accepted : AnswerCode::refused; }, AnswerCode::refused},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        now += s.later;
        EXPECT_EQ(s.act(), s.code);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM submissions"), 1);
    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 1)).text, "Poängen är registrerad.");
}

TEST_F(Confirmation, ALinkLastsAWeekAndANewPasswordConfirmsToo) {
    ASSERT_EQ(service->signUp({"anna@example.se", "Anna", "hemligt1", "hemligt1"}).faults, std::vector<std::string>{});
    std::string token = mailedTokens(outbox, "confirm.htm").at(0);
    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 1)).text,
              "Bekräfta först din e-postadress med länken i brevet från Kvippa.");
    now += confirmLinkLifetime;
    EXPECT_EQ(service->confirmLink(token), Outcome::gone);
    EXPECT_EQ(service->confirmEmail(token), Outcome::gone);

    service->requestPasswordReset("anna@example.se");
    std::string reset = mailedTokens(outbox, "reset.htm").at(0);
    EXPECT_EQ(service->resetPassword(reset, "nyttord1", "nyttord1").outcome, Outcome::done);
    EXPECT_EQ(submit(gameForm("anna@example.se", "nyttord1", 1)).code, AnswerCode::accepted)
        << "the reset link came by mail as well";
}

}  // namespace
