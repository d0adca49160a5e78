// Password help: a one-time link by mail, its expiry, and the game's
// submissions before and after the new password.
#include <fstream>
#include <regex>
#include <sstream>

#include "service_fixture.h"

namespace {

class PasswordReset : public ServiceFixture {
protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        signUp("Anna@Example.se", "Anna", "hemligt1");
        std::filesystem::remove_all(outbox);  // the confirmation, read and done with
    }

    std::vector<std::string> mails() {
        std::vector<std::string> texts;
        if (!std::filesystem::exists(outbox)) return texts;
        for (const auto& entry : std::filesystem::directory_iterator(outbox)) {
            std::ifstream file(entry.path(), std::ios::binary);
            std::stringstream text;
            text << file.rdbuf();
            texts.push_back(text.str());
        }
        return texts;
    }

    // The tokens of the links in the mails.
    std::vector<std::string> tokensFromMails() {
        std::vector<std::string> tokens;
        for (const std::string& mail : mails()) {
            std::smatch match;
            EXPECT_TRUE(std::regex_search(
                mail, match, std::regex("http://kvippa\\.test:8080/reset\\.htm\\?token=([A-Za-z0-9_-]+)")));
            tokens.push_back(match[1]);
        }
        return tokens;
    }

    // The token of the link in the only mail.
    std::string tokenFromMail() {
        auto tokens = tokensFromMails();
        EXPECT_EQ(tokens.size(), 1u);
        return tokens.at(0);
    }
};

TEST_F(PasswordReset, TheMailIsAnRfc5322MessageToTheSignedUpAddressFromTheSite) {
    const std::pair<std::string, std::string> sites[] = {
        {"http://kvippa.test:8080", "kvippa.test"},
        {"https://www.kvippa.example", "www.kvippa.example"},
        {"http://[::1]:8080", "[::1]"},
    };
    for (const auto& [site, domain] : sites) {
        SCOPED_TRACE(site);
        settings.site = site;
        startService();
        std::filesystem::remove_all(outbox);
        service->requestPasswordReset("anna@example.se");
        auto all = mails();
        ASSERT_EQ(all.size(), 1u);
        const std::string& mail = all[0];
        const std::string headers[] = {"From: Kvippa <noreply@" + domain + ">\r\n", "To: Anna@Example.se\r\n",
                                       "Subject: =?UTF-8?B?", "Date: Tue, 14 Nov 2023 22:13:20 +0000\r\n",
                                       "MIME-Version: 1.0\r\n", "Content-Type: text/plain; charset=UTF-8\r\n"};
        for (const std::string& header : headers) EXPECT_NE(mail.find(header), std::string::npos) << header;
        std::size_t id = mail.find("\r\nMessage-ID: <");
        ASSERT_NE(id, std::string::npos);
        std::string idLine = mail.substr(id + 2, mail.find("\r\n", id + 2) - id - 2);
        EXPECT_EQ(idLine.substr(idLine.find('@')), "@" + domain + ">");
        EXPECT_NE(mail.find("\r\n" + site + "/reset.htm?token="), std::string::npos);
        EXPECT_NE(mail.find("\r\n\r\nHej Anna!\r\n"), std::string::npos);
        EXPECT_EQ(mail.find("\n\n"), std::string::npos) << "every line ends in CR LF";
        for (const auto& entry : std::filesystem::directory_iterator(outbox)) {
            EXPECT_EQ(entry.path().extension(), ".eml");
        }
        pool->borrow()->query("DELETE FROM password_resets", {});
    }
}

TEST_F(PasswordReset, ALinkWorksOnceAndSetsThePasswordTheGameMustThenSend) {
    // The old password is checked once, so the service remembers it.
    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 100)).code, AnswerCode::accepted);
    service->requestPasswordReset("anna@example.se");
    std::string token = tokenFromMail();
    EXPECT_TRUE(pool->borrow()->query("SELECT 1 FROM password_resets WHERE token_hash = $1", {token}).empty())
        << "only the token's hash is kept";

    EXPECT_EQ(service->resetLink(token), Outcome::done);
    EXPECT_EQ(service->resetPassword(token, "nyttord1", "nyttord2").faults, std::vector<std::string>{"Lösenorden är inte lika."});
    EXPECT_EQ(service->resetLink(token), Outcome::done) << "a faulty form does not use the link up";
    EXPECT_EQ(service->resetPassword(token, "nyttord1", "nyttord1").outcome, Outcome::done);
    EXPECT_EQ(service->resetLink(token), Outcome::gone);
    FormOutcome again = service->resetPassword(token, "tredje11", "tredje11");
    EXPECT_EQ(again.outcome, Outcome::gone);
    EXPECT_EQ(again.faults, std::vector<std::string>{"Länken har redan använts eller är för gammal. Be om en ny."});

    EXPECT_EQ(submit(gameForm("anna@example.se", "hemligt1", 200)).code, AnswerCode::wrongPassword)
        << "the remembered check of the old password no longer counts";
    EXPECT_EQ(submit(gameForm("anna@example.se", "nyttord1", 200)).code, AnswerCode::accepted);
}

TEST_F(PasswordReset, ANewPasswordEndsEveryOtherOpenLink) {
    service->requestPasswordReset("anna@example.se");
    ++now;
    service->requestPasswordReset("anna@example.se");
    auto tokens = tokensFromMails();
    ASSERT_EQ(tokens.size(), 2u);
    for (const std::string& token : tokens) EXPECT_EQ(service->resetLink(token), Outcome::done);
    EXPECT_EQ(service->resetPassword(tokens[1], "nyttord1", "nyttord1").outcome, Outcome::done);
    EXPECT_EQ(service->resetLink(tokens[0]), Outcome::gone);
    EXPECT_EQ(service->resetPassword(tokens[0], "elakt111", "elakt111").outcome, Outcome::gone);
    EXPECT_EQ(submit(gameForm("anna@example.se", "nyttord1", 100)).code, AnswerCode::accepted);
}

TEST_F(PasswordReset, ALinkExpiresAfterAnHour) {
    service->requestPasswordReset("anna@example.se");
    std::string token = tokenFromMail();
    now += resetLinkLifetime - 1;
    EXPECT_EQ(service->resetLink(token), Outcome::done);
    now += 1;
    EXPECT_EQ(service->resetLink(token), Outcome::gone);
    EXPECT_EQ(service->resetPassword(token, "nyttord1", "nyttord1").outcome, Outcome::gone);
}

TEST_F(PasswordReset, UnknownAddressesGetNoMailAndNoAddressGetsMoreThanThreeAnHour) {
    service->requestPasswordReset("berit@example.se");
    EXPECT_TRUE(mails().empty());
    for (int i = 0; i < 5; ++i) service->requestPasswordReset("anna@example.se");
    EXPECT_EQ(mails().size(), 3u);
    now += resetLinkLifetime;
    service->requestPasswordReset("anna@example.se");
    EXPECT_EQ(mails().size(), 4u);
}

}  // namespace
