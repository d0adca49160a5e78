// Signing in on the site, the session cookie, the form token and the ways a
// session ends, through the handlers of the route table on the real database.
#include <regex>

#include "mailed_links.h"
#include "server/account_routes.h"
#include "server/contest_admin.h"
#include "server/signed_in.h"
#include "signed_in_fixture.h"

namespace {

using Browser = SiteBrowser;

class SignInOnSite : public SignedInFixture {
protected:
    HttpAnswer signOut(Browser& browser, const std::string& form) {
        HttpAnswer answer = signOutAnswer(*service, browser.request("POST", {{"form", form}}));
        browser.take(answer);
        return answer;
    }
};

TEST_F(SignInOnSite, ASignInSetsTheSessionCookieSecureOnlyOnAnHttpsSite) {
    signUp("anna@example.se", "Anna", "hemligt1");
    for (const char* site : {"http://kvippa.test:8080", "https://kvippa.test"}) {
        SCOPED_TRACE(site);
        settings.site = site;
        startService();
        Browser browser;
        HttpAnswer answer = signIn(browser, "anna@example.se", "hemligt1");
        EXPECT_EQ(answer.status, 303);
        EXPECT_EQ(headerOf(answer, "Location"), "/mina-sidor");
        std::string cookie = headerOf(answer, "Set-Cookie");
        EXPECT_TRUE(std::regex_match(cookie, std::regex("zifra_session=[A-Za-z0-9_-]{43}; Path=/; HttpOnly; "
                                                        "SameSite=Lax(; Secure)?; Max-Age=2592000")))
            << cookie;
        EXPECT_EQ(cookie.find("; Secure") != std::string::npos, std::string(site).rfind("https:", 0) == 0);
        ASSERT_TRUE(session(browser));
        EXPECT_EQ(session(browser).value().nickname, "Anna");
        // Only its hash is kept.
        std::string id = browser.cookie.substr(browser.cookie.find('=') + 1);
        EXPECT_EQ(count("SELECT COUNT(*) FROM sessions WHERE id_hash = '" + id + "'"), 0);
    }
}

TEST_F(SignInOnSite, AWrongAddressAndAWrongPasswordGetOneAnswerAndNoSession) {
    signUp("anna@example.se", "Anna", "hemligt1");
    ASSERT_EQ(service->signUp({"berit@example.se", "Berit", "hemligt2", "hemligt2"}).outcome, Outcome::done);
    Browser browser;
    HttpAnswer unknown = signIn(browser, "okand@example.se", "hemligt1");
    HttpAnswer wrong = signIn(browser, "anna@example.se", "fel-fel");
    EXPECT_EQ(unknown.status, 400);
    EXPECT_EQ(wrong.status, unknown.status);
    std::string unknownBody = unknown.body;
    unknownBody.replace(unknownBody.find("okand@"), 6, "anna@");
    EXPECT_EQ(wrong.body, unknownBody) << "but for the address typed, which the form keeps";
    EXPECT_NE(wrong.body.find("Fel e-postadress eller lösenord."), std::string::npos);
    EXPECT_NE(wrong.body.find("value=\"anna@example.se\""), std::string::npos) << "the address is kept in the form";
    EXPECT_EQ(headerOf(wrong, "Set-Cookie"), "");

    struct Case {
        const char* what;
        std::string email, password;
        int status;
        const char* text;
    };
    const Case cases[] = {
        {"an address not yet confirmed", "berit@example.se", "hemligt2", 400, "Bekräfta först din e-postadress"},
        {"the address typed with capitals and spaces", " Anna@Example.se ", "hemligt1", 303, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Browser other;
        HttpAnswer answer = signIn(other, c.email, c.password);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_NE(answer.body.find(c.text), std::string::npos) << answer.body;
        EXPECT_EQ(session(other).has_value(), c.status == 303);
    }
}

TEST_F(SignInOnSite, WrongPasswordsBackOffAsTheGamesDo) {
    signUp("anna@example.se", "Anna", "hemligt1");
    Browser browser;
    for (int i = 0; i < freeFailures; ++i) EXPECT_EQ(signIn(browser, "anna@example.se", "fel-fel").status, 400);
    HttpAnswer held = signIn(browser, "anna@example.se", "hemligt1");
    EXPECT_EQ(held.status, 429);
    EXPECT_NE(held.body.find("Försök igen om 1 sekunder."), std::string::npos) << held.body;
    EXPECT_FALSE(session(browser));
    now += 1;
    EXPECT_EQ(signIn(browser, "anna@example.se", "hemligt1").status, 303);
}

TEST_F(SignInOnSite, EverySignInIsANewSessionAndTheOneBeforeEnds) {
    signUp("anna@example.se", "Anna", "hemligt1");
    Browser browser;
    signIn(browser, "anna@example.se", "hemligt1");
    Browser before = browser;
    auto first = session(browser);
    ASSERT_TRUE(first);
    signIn(browser, "anna@example.se", "hemligt1");
    auto second = session(browser);
    ASSERT_TRUE(second);
    EXPECT_NE(browser.cookie, before.cookie);
    EXPECT_NE(second->formToken, first->formToken);
    EXPECT_FALSE(session(before)) << "a cookie from before the sign-in opens nothing";
    // A planted id is replaced, not taken up.
    Browser planted{"zifra_session=planterat"};
    signIn(planted, "anna@example.se", "hemligt1");
    EXPECT_NE(planted.cookie, "zifra_session=planterat");
}

TEST_F(SignInOnSite, TheNextPathIsFollowedOnlyWithinTheSite) {
    const std::pair<std::string, std::string> cases[] = {
        {"/index2.htm", "/index2.htm"},
        {"/mina-sidor?x=1", "/mina-sidor?x=1"},
        {"", "/mina-sidor"},
        {"//elak.example/", "/mina-sidor"},
        {"/\\elak.example", "/mina-sidor"},
        {"https://elak.example", "/mina-sidor"},
        {"/\r\nSet-Cookie: x", "/mina-sidor"},
        {"index2.htm", "/mina-sidor"},
        {"/", "/"},
    };
    for (const auto& [next, path] : cases) EXPECT_EQ(pathAfterSignIn(next), path) << next;

    signUp("anna@example.se", "Anna", "hemligt1");
    Browser browser;
    EXPECT_EQ(headerOf(signIn(browser, "anna@example.se", "hemligt1", "/index2.htm"), "Location"), "/index2.htm");
    // Signed in already, the form sends the browser on.
    HttpAnswer form = signInFormAnswer(*service, browser.request("GET", {{"next", "//elak.example"}}));
    EXPECT_EQ(form.status, 303);
    EXPECT_EQ(headerOf(form, "Location"), "/mina-sidor");
}

TEST_F(SignInOnSite, SignOutTakesTheFormTokenAndEndsTheSession) {
    signUp("anna@example.se", "Anna", "hemligt1");
    Browser browser;
    signIn(browser, "anna@example.se", "hemligt1");
    std::string token = session(browser).value().formToken;
    for (const std::string& forged : {std::string(), std::string("fel"), token.substr(1)}) {
        SCOPED_TRACE(forged);
        Browser copy = browser;
        EXPECT_EQ(signOut(copy, forged).status, 403);
        EXPECT_TRUE(session(browser)) << "a refused form changes nothing";
    }
    Browser stolen = browser;
    HttpAnswer out = signOut(browser, token);
    EXPECT_EQ(out.status, 303);
    EXPECT_EQ(headerOf(out, "Location"), "/");
    EXPECT_EQ(headerOf(out, "Set-Cookie").rfind("zifra_session=; Path=/; HttpOnly; SameSite=Lax; Max-Age=0", 0), 0u);
    EXPECT_FALSE(session(stolen)) << "the id is dead on the server, not only forgotten by the browser";
}

TEST_F(SignInOnSite, ASessionEndsUnusedForAWeekAndAfterAMonthInAll) {
    signUp("anna@example.se", "Anna", "hemligt1");
    Browser browser;
    std::int64_t start = now;
    signIn(browser, "anna@example.se", "hemligt1");
    // Used every six days, it lasts until its month is out.
    for (now = start + 6 * 86400; now < start + sessionLifetime; now += 6 * 86400) {
        EXPECT_TRUE(session(browser)) << (now - start) / 86400 << " days";
    }
    now = start + sessionLifetime;
    EXPECT_FALSE(session(browser));

    now += 1;
    signIn(browser, "anna@example.se", "hemligt1");
    now += sessionIdleLimit - 1;
    EXPECT_TRUE(session(browser));
    now += sessionIdleLimit;
    EXPECT_FALSE(session(browser)) << "a week unused";
    now += sessionLifetime;
    signIn(browser, "anna@example.se", "hemligt1");
    EXPECT_EQ(count("SELECT COUNT(*) FROM sessions"), 1) << "ended sessions are not kept for ever";
}

TEST_F(SignInOnSite, ABanAndANewPasswordThroughAResetLinkEndTheSessions) {
    signUp("anna@example.se", "Anna", "hemligt1");
    signUp("berit@example.se", "Berit", "hemligt2");
    Browser anna, annaElsewhere, berit;
    signIn(anna, "anna@example.se", "hemligt1");
    signIn(annaElsewhere, "anna@example.se", "hemligt1");
    signIn(berit, "berit@example.se", "hemligt2");

    AdminEnvironment environment{"organisatören", [this] { return now; }, outbox.string()};
    AdminResult ban =
        runAdmin({"--db", databaseUrl, "account", "ban", "anna@example.se", "--reason", "fusk"}, environment);
    ASSERT_EQ(ban.exitCode, adminDone) << ban.error;
    EXPECT_FALSE(session(anna));
    EXPECT_FALSE(session(annaElsewhere));
    EXPECT_TRUE(session(berit));
    EXPECT_EQ(signIn(anna, "anna@example.se", "hemligt1").status, 403);
    EXPECT_FALSE(session(anna));
    auto audit = service->contest().store().audit();
    ASSERT_FALSE(audit.empty());
    EXPECT_EQ(audit.back().actor, "organisatören");
    EXPECT_EQ(audit.back().action, "account ban");
    EXPECT_EQ(audit.back().reason, "fusk");

    service->requestPasswordReset("berit@example.se");
    auto tokens = mailedTokens(outbox, "reset.htm", "berit@example.se");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(service->resetPassword(tokens[0], "nyttlosen", "nyttlosen").outcome, Outcome::done);
    EXPECT_FALSE(session(berit));
}

TEST_F(SignInOnSite, ASignedInPostNeedsTheSessionsOwnFormToken) {
    signUp("anna@example.se", "Anna", "hemligt1");
    signUp("berit@example.se", "Berit", "hemligt2");
    Browser anna, berit;
    signIn(anna, "anna@example.se", "hemligt1");
    signIn(berit, "berit@example.se", "hemligt2");
    std::string annasToken = session(anna).value().formToken, beritsToken = session(berit)->formToken;
    struct Case {
        const char* what;
        const Browser& browser;
        std::string form;
        Outcome outcome;
    };
    const Case cases[] = {
        {"her own token", anna, annasToken, Outcome::done},
        {"no token", anna, "", Outcome::forbidden},
        {"another session's token", anna, beritsToken, Outcome::forbidden},
        {"no session", Browser{}, annasToken, Outcome::signInNeeded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SignedInPost post = signedInPost(*service, c.browser.request("POST", {{"form", c.form}}));
        EXPECT_EQ(post.outcome, c.outcome);
        EXPECT_EQ(post.session.has_value(), c.outcome == Outcome::done);
    }
    EXPECT_EQ(formTokenField(session(anna).value()).markup(),
              "<input type=\"hidden\" name=\"form\" value=\"" + annasToken + "\">");
}

}  // namespace
