#include "server/account_routes.h"

#include <functional>

#include "server/account_pages.h"
#include "server/accounts.h"
#include "server/signed_in.h"

namespace {

constexpr char myPagesPath[] = "/mina-sidor";
constexpr char myPagesTitle[] = "Mina sidor";

HttpAnswer signInFirst() { return seeOther(std::string("/logga-in.htm?next=") + myPagesPath); }

HttpAnswer myPageWith(CompetitionService& service, const Session& session, const FormOutcome& sent) {
    return htmlAnswer(sent.outcome, myPagesTitle, myPageBody(service.accounts().myPage(session), session, sent.faults),
                      session);
}

// A change of my pages: back to them when done, so that a reload does not
// send it again; else the page with the faults.
HttpAnswer myPageChange(CompetitionService& service, const HttpRequest& req,
                        const std::function<FormOutcome(const Session&)>& change) {
    SignedInPost post = signedInPost(service, req);
    if (post.outcome != Outcome::done) return refusedPostAnswer(post.outcome);
    FormOutcome result = change(*post.session);
    if (result.outcome == Outcome::done) return seeOther(myPagesPath);
    return myPageWith(service, *post.session, result);
}

}  // namespace

std::string pathAfterSignIn(const std::string& next) {
    // "//host" and "/\host" lead a browser off the site; a control
    // character has no place in a Location header.
    bool local = next.size() >= 1 && next[0] == '/' && (next.size() == 1 || (next[1] != '/' && next[1] != '\\'));
    for (unsigned char c : next) local = local && c >= 0x20 && c != 0x7f;
    return local ? next : myPagesPath;
}

HttpAnswer signInFormAnswer(CompetitionService& service, const HttpRequest& req) {
    std::string next = pathAfterSignIn(req.param("next"));
    if (signedIn(service, req)) return seeOther(next);
    return htmlAnswer(Outcome::done, "Logga in", signInBody("", next, ""), std::nullopt);
}

HttpAnswer signInAnswer(CompetitionService& service, const HttpRequest& req) {
    std::string email = req.param("email"), next = pathAfterSignIn(req.param("next"));
    SiteSignIn result = service.accounts().signIn(email, req.param("password"), req.remoteAddress);
    if (result.outcome != Outcome::done) {
        return htmlAnswer(result.outcome, "Logga in", signInBody(email, next, result.fault), std::nullopt);
    }
    // The session of the browser before, if any, ends: nothing of it is
    // carried over into the new one.
    if (auto before = signedIn(service, req)) service.sessions().end(*before);
    HttpAnswer answer = seeOther(next);
    answer.headers.emplace_back("Set-Cookie", sessionCookie(result.session, service.site()));
    return answer;
}

HttpAnswer signOutAnswer(CompetitionService& service, const HttpRequest& req) {
    SignedInPost post = signedInPost(service, req);
    if (post.outcome == Outcome::forbidden) return refusedPostAnswer(post.outcome);
    // Without a session there is nothing to end but a stale cookie.
    if (post.session) service.sessions().end(*post.session);
    HttpAnswer answer = seeOther("/");
    answer.headers.emplace_back("Set-Cookie", endedSessionCookie(service.site()));
    return answer;
}

HttpAnswer myPageAnswer(CompetitionService& service, const HttpRequest& req) {
    auto session = signedIn(service, req);
    if (!session) return signInFirst();
    return myPageWith(service, *session, {});
}

HttpAnswer nicknameChangeAnswer(CompetitionService& service, const HttpRequest& req) {
    return myPageChange(service, req, [&](const Session& session) {
        return service.accounts().changeNickname(session, req.param("nickname"));
    });
}

HttpAnswer emailChangeRequestAnswer(CompetitionService& service, const HttpRequest& req) {
    return myPageChange(service, req, [&](const Session& session) {
        return service.accounts().changeEmail(session, req.param("email"), req.param("password"), req.remoteAddress);
    });
}

HttpAnswer passwordChangeAnswer(CompetitionService& service, const HttpRequest& req) {
    return myPageChange(service, req, [&](const Session& session) {
        return service.accounts().changePassword(session, req.param("password"), req.param("new"),
                                                 req.param("repeated"), req.remoteAddress);
    });
}

HttpAnswer newsChoiceAnswer(CompetitionService& service, const HttpRequest& req) {
    return myPageChange(service, req, [&](const Session& session) {
        service.accounts().setNews(session, req.param("news") == "ja");
        return FormOutcome{};
    });
}

HttpAnswer accountDeletionAnswer(CompetitionService& service, const HttpRequest& req) {
    SignedInPost post = signedInPost(service, req);
    if (post.outcome != Outcome::done) return refusedPostAnswer(post.outcome);
    FormOutcome result = service.accounts().deleteAccount(*post.session, req.param("password"),
                                                          req.param("sure") == "ja", req.remoteAddress);
    if (result.outcome != Outcome::done) return myPageWith(service, *post.session, result);
    HttpAnswer answer = seeOther("/");
    answer.headers.emplace_back("Set-Cookie", endedSessionCookie(service.site()));
    return answer;
}

HttpAnswer myDataAnswer(CompetitionService& service, const HttpRequest& req) {
    auto session = signedIn(service, req);
    if (!session) return signInFirst();
    std::string json =
        service.accounts().myData(*session).dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    HttpAnswer answer = answerWith(httpStatus(Outcome::done), "application/json; charset=utf-8", json + "\n");
    answer.headers.emplace_back("Content-Disposition", "attachment; filename=\"kvippa-mina-uppgifter.json\"");
    return answer;
}

// The link asks before it changes anything, as the sign-up's does: a mail
// scanner that follows every link would otherwise make the change.
HttpAnswer emailChangeFormAnswer(CompetitionService& service, const HttpRequest& req) {
    std::string token = req.param("token");
    if (!service.accounts().emailChangeWorks(token)) {
        return htmlAnswer(
            Outcome::gone, "Byt e-postadress",
            emailChangeBody("", EmailChangeStep::faulty, {"Länken har redan använts eller är för gammal."}),
            std::nullopt);
    }
    return htmlAnswer(Outcome::done, "Byt e-postadress", emailChangeBody(token, EmailChangeStep::ask, {}),
                      std::nullopt);
}

HttpAnswer emailChangeAnswer(CompetitionService& service, const HttpRequest& req) {
    FormOutcome result = service.accounts().confirmEmailChange(req.param("token"));
    EmailChangeStep step = result.outcome == Outcome::done ? EmailChangeStep::done : EmailChangeStep::faulty;
    return htmlAnswer(result.outcome, "Byt e-postadress", emailChangeBody("", step, result.faults), std::nullopt);
}
