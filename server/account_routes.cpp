#include "server/account_routes.h"

#include "server/account_pages.h"
#include "server/accounts.h"
#include "server/signed_in.h"

namespace {

constexpr char myPagesPath[] = "/mina-sidor";

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
