#include "server/challenge_routes.h"

#include "server/challenge_pages.h"
#include "server/contest_routes.h"
#include "server/html.h"
#include "server/pages.h"
#include "server/signed_in.h"

namespace {

constexpr char challengeTitle[] = "Utmana dina vänner";

}  // namespace

HttpAnswer challengePageAnswer(CompetitionService& service, const HttpRequest& req) {
    std::optional<Session> visitor = signedIn(service, req);
    if (!visitor) return htmlAnswer(Outcome::done, challengeTitle, challengeInfoBody(), visitor);
    return htmlAnswer(Outcome::done, challengeTitle, challengeFormBody(formTokenField(*visitor), {}, {}), visitor);
}

HttpAnswer challengeAnswer(CompetitionService& service, const HttpRequest& req) {
    SignedInPost post = signedInPost(service, req);
    if (post.outcome != Outcome::done) return refusedPostAnswer(post.outcome);
    ChallengeForm form{{}, req.param("message")};
    for (std::size_t n = 1; n <= maxChallengedFriends; ++n) {
        form.friends.push_back(req.param("friend" + std::to_string(n)));
    }
    FormOutcome sent = service.challenges().send(post.session->accountId, form);
    switch (sent.outcome) {
        case Outcome::done: return htmlAnswer(sent.outcome, challengeTitle, challengeSentBody(), post.session);
        case Outcome::faulty:
        case Outcome::tooMany:
            return htmlAnswer(sent.outcome, challengeTitle,
                              challengeFormBody(formTokenField(*post.session), form, sent.faults), post.session);
        default: return refusedPostAnswer(sent.outcome);
    }
}

// An unknown token leaves the form as anybody gets it.
HttpAnswer challengeSignUpFormAnswer(CompetitionService& service, const std::string& token) {
    SignUpForm form;
    if (auto challenger = service.challenges().challenger(token)) {
        form.referrer = *challenger;
        form.challenge = token;
    }
    return pageAnswer(Outcome::done, signUpPage(form, {}, false));
}

HttpAnswer stopMailFormAnswer(CompetitionService& service, const std::string& token) {
    RefusalLink link = service.challenges().refusalLink(token);
    if (link == RefusalLink::unknown) return unsubscribeFormAnswer(service, token);
    return pageAnswer(Outcome::done, mailRefusalPage(token, link));
}

HttpAnswer stopMailAnswer(CompetitionService& service, const std::string& token) {
    if (!service.challenges().refuseMail(token)) return unsubscribeAnswer(service, token);
    return pageAnswer(Outcome::done, mailRefusalPage(token, RefusalLink::used));
}
