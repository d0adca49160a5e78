// Guessing passwords and signing up in bulk, on a real database: the limits
// hold across servers, cost no hashing while they hold, and never keep a
// player from a right password for long.
#include "server/nickname_backfill.h"
#include "service_fixture.h"

namespace {

using AttemptLimitsCase = ServiceFixture;

constexpr char attacker[] = "198.51.100.7", player[] = "192.0.2.10", elsewhere[] = "203.0.113.5";

TEST(BackOff, DoublesAfterThreeFreeFailuresUpToAMinute) {
    const std::pair<std::int64_t, std::int64_t> cases[] = {{0, 0}, {2, 0}, {3, 1}, {4, 2}, {5, 4},
                                                           {8, 32}, {9, 60}, {1000, 60}};
    for (const auto& [failures, seconds] : cases) EXPECT_EQ(backOffSeconds(failures), seconds) << failures;
}

TEST_F(AttemptLimitsCase, WrongPasswordsBackOffAndARightOneFromAKnownAddressStillPasses) {
    signUp("anna@example.se", "Anna", "hemligt1");
    auto score = [&](const char* password, const char* from) {
        return service->submit(formBody(gameForm("anna@example.se", password, 10)), from);
    };
    ASSERT_EQ(score("hemligt1", player).code, AnswerCode::accepted) << "the player's own address, now known";

    struct Step {
        const char* what;
        std::int64_t later;  // seconds after the step before
        const char* password;
        const char* from;
        AnswerCode code;
    };
    const Step steps[] = {
        {"a first wrong guess", 0, "gissning1", attacker, AnswerCode::wrongPassword},
        {"a second", 0, "gissning2", attacker, AnswerCode::wrongPassword},
        {"a third", 0, "gissning3", attacker, AnswerCode::wrongPassword},
        {"a fourth at once waits", 0, "gissning4", attacker, AnswerCode::unavailable},
        {"the right one from elsewhere waits too", 0, "hemligt1", elsewhere, AnswerCode::unavailable},
        {"the right one from the player's address passes", 0, "hemligt1", player, AnswerCode::accepted},
        {"a second later the fourth is checked", 1, "gissning4", attacker, AnswerCode::wrongPassword},
        {"then it waits two seconds", 1, "gissning5", attacker, AnswerCode::unavailable},
        {"two seconds on", 1, "gissning5", attacker, AnswerCode::wrongPassword},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        now += s.later;
        EXPECT_EQ(score(s.password, s.from).code, s.code);
    }
    // However long the flood, a minute is the most anyone waits.
    for (int i = 0; i < 20; ++i) {
        now += 61;
        score("gissning", attacker);
    }
    SubmissionAnswer waiting = score("hemligt1", elsewhere);
    EXPECT_EQ(waiting.code, AnswerCode::unavailable);
    EXPECT_EQ(waiting.text, "För många fel lösenord. Försök igen om 60 sekunder.");
    now += 60;
    EXPECT_EQ(score("hemligt1", elsewhere).code, AnswerCode::accepted);
    now += failureMemory;
    EXPECT_EQ(score("gissning", attacker).code, AnswerCode::wrongPassword) << "forgotten after a quarter of an hour";
}

TEST_F(AttemptLimitsCase, OneAddressGuessingManyAccountsIsHeldBackOnEach) {
    for (int p = 0; p < 4; ++p) signUp("p" + std::to_string(p) + "@example.se", "P" + std::to_string(p), "hemligt1");
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(service->submit(formBody(gameForm("p" + std::to_string(p) + "@example.se", "fel", 1)), attacker).code,
                  AnswerCode::wrongPassword);
    }
    EXPECT_EQ(service->submit(formBody(gameForm("p3@example.se", "fel", 1)), attacker).code, AnswerCode::unavailable);
    EXPECT_EQ(service->submit(formBody(gameForm("p3@example.se", "hemligt1", 1)), player).code, AnswerCode::accepted);
}

TEST_F(AttemptLimitsCase, AnotherServerOnTheDatabaseAgreesAndAWaitingGuessCostsNoHashing) {
    signUp("anna@example.se", "Anna", "hemligt1");
    ConnectionPool otherPool(databaseUrl, 2);
    CompetitionService other(otherPool, settings);
    for (int i = 0; i < 3; ++i) service->submit(formBody(gameForm("anna@example.se", "fel", 1)), attacker);

    std::vector<std::unique_ptr<HashingSlot>> taken;
    for (std::size_t i = 0; i < HashingSlot::count(); ++i) taken.push_back(std::make_unique<HashingSlot>());
    auto started = std::chrono::steady_clock::now();
    SubmissionAnswer answer = other.submit(formBody(gameForm("anna@example.se", "fel", 1)), attacker);
    EXPECT_EQ(answer.text, "För många fel lösenord. Försök igen om 1 sekunder.");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << "no wait for a hashing slot";
}

TEST_F(AttemptLimitsCase, SignUpsFromOneAddressAreLimitedPerHour) {
    settings.signUpsPerAddress = 2;
    startService();
    auto form = [](int n) {
        std::string name = "p" + std::to_string(n);
        return SignUpForm{name + "@example.se", name, "hemligt1", "hemligt1"};
    };
    const std::vector<std::string> none, limited = {"Det har kommit många nya medlemmar från din adress. Försök igen om en timme."};
    EXPECT_EQ(service->signUp(form(1), attacker).faults, none);
    EXPECT_EQ(service->signUp(form(2), attacker).faults, none);
    FormOutcome refused = service->signUp(form(3), attacker);
    EXPECT_EQ(refused.outcome, Outcome::tooMany);
    EXPECT_EQ(refused.faults, limited);
    EXPECT_EQ(service->signUp(form(3), player).faults, none) << "another address";
    now += 3600;
    EXPECT_EQ(service->signUp(form(4), attacker).faults, none) << "an hour later";
    EXPECT_EQ(count("SELECT COUNT(*) FROM accounts"), 4);
}

TEST_F(AttemptLimitsCase, LookAlikeNicknamesAndMailingListsAreNotSignedUp) {
    signUp("anna@example.se", "Champion55", "hemligt1");
    const std::pair<SignUpForm, std::vector<std::string>> cases[] = {
        {{"b@example.se", "\u0421h\u0430mpi\u043En55", "hemligt1", "hemligt1"}, {"Smeknamnet är redan upptaget."}},
        {{"b@example.se", "\uFF23hampion55", "hemligt1", "hemligt1"}, {"Smeknamnet är redan upptaget."}},
        {{"b@example.se", "Champ\u200Bion55", "hemligt1", "hemligt1"}, {"Smeknamnet är redan upptaget."}},
        {{"b@example.se", "\u200B\u200B", "hemligt1", "hemligt1"}, {"Ange ett smeknamn på högst 32 tecken."}},
        {{"b@example.se", "Anna\u202Egnp.exe", "hemligt1", "hemligt1"},
         {"Smeknamnet får inte ha osynliga tecken, tecken som vänder skrivriktningen eller staplade accenter."}},
        {{"me@evil.example,victim@example.se", "Elak", "hemligt1", "hemligt1"},
         {"Ange din e-postadress, högst 64 tecken."}},
        {{"Elak <me@evil.example>", "Elak", "hemligt1", "hemligt1"}, {"Ange din e-postadress, högst 64 tecken."}},
    };
    for (const auto& [form, faults] : cases) EXPECT_EQ(service->signUp(form).faults, faults) << form.nickname;
    signUp("b@example.se", " Ｂｅｒｉｔ ", "hemligt1");
    EXPECT_EQ(service->topTen(4).size(), 0u);
    auto kept = pool->borrow()->query("SELECT nickname FROM accounts WHERE email = 'b@example.se'");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0][0], "Berit");
}

TEST_F(AttemptLimitsCase, NicknamesFromBeforeSkeletonsGetThemAndCountAsTaken) {
    signUp("anna@example.se", "Champion55", "hemligt1");
    signUp("berit@example.se", "Berit", "hemligt1");
    // As an older server left them; the second an old look-alike of the first.
    pool->borrow()->query("UPDATE accounts SET nickname_skeleton = NULL");
    pool->borrow()->query("UPDATE accounts SET nickname = 'Champiоn55' WHERE email = 'berit@example.se'");
    EXPECT_EQ(fillMissingSkeletons(*pool), 1u);
    EXPECT_EQ(service->signUp({"c@example.se", "Сhampion55", "hemligt1", "hemligt1"}).faults,
              std::vector<std::string>{"Smeknamnet är redan upptaget."});
}

TEST_F(AttemptLimitsCase, AListSignedUpBeforeAddressesWereCheckedGetsNoMail) {
    signUp("anna@example.se", "Anna", "hemligt1");
    std::filesystem::remove_all(outbox);
    pool->borrow()->query("UPDATE accounts SET email = 'me@evil.example,victim@example.se', "
                          "email_key = 'me@evil.example,victim@example.se'");
    service->requestPasswordReset("me@evil.example,victim@example.se");
    EXPECT_FALSE(std::filesystem::exists(outbox));
    EXPECT_EQ(count("SELECT COUNT(*) FROM password_resets"), 0);
}

}  // namespace
