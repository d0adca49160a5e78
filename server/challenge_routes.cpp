#include "server/challenge_routes.h"

#include "server/challenge_pages.h"
#include "server/contest_routes.h"
#include "server/pages.h"

namespace {

constexpr char htmlType[] = "text/html; charset=utf-8";

HttpAnswer page(Outcome outcome, std::string body) { return answerWith(httpStatus(outcome), htmlType, std::move(body)); }

}  // namespace

// An unknown token leaves the form as anybody gets it.
HttpAnswer challengeSignUpFormAnswer(CompetitionService& service, const std::string& token) {
    SignUpForm form;
    if (auto challenger = service.challenges().challenger(token)) {
        form.referrer = *challenger;
        form.challenge = token;
    }
    return page(Outcome::done, signUpPage(form, {}, false));
}

HttpAnswer stopMailFormAnswer(CompetitionService& service, const std::string& token) {
    RefusalLink link = service.challenges().refusalLink(token);
    if (link == RefusalLink::unknown) return unsubscribeFormAnswer(service, token);
    return page(Outcome::done, mailRefusalPage(token, link));
}

HttpAnswer stopMailAnswer(CompetitionService& service, const std::string& token) {
    if (!service.challenges().refuseMail(token)) return unsubscribeAnswer(service, token);
    return page(Outcome::done, mailRefusalPage(token, RefusalLink::used));
}
