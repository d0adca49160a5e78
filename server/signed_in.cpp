#include "server/signed_in.h"

#include <sodium.h>

#include "server/html.h"

namespace {

// The value of the first cookie of that name in the Cookie header.
std::string cookieValue(const HttpRequest& req, std::string_view name) {
    std::string header = req.header("Cookie");
    std::string_view rest = header;
    while (!rest.empty()) {
        std::size_t end = rest.find(';');
        std::string_view pair = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
        std::size_t equals = pair.find('=');
        if (equals != std::string_view::npos && pair.substr(0, equals) == name) {
            return std::string(pair.substr(equals + 1));
        }
    }
    return "";
}

// The attributes every form of the cookie has; Secure only where the
// browser reaches the site over https, else it would never send it back.
std::string cookieAttributes(std::string_view site) {
    std::string attributes = "; Path=/; HttpOnly; SameSite=Lax";
    if (site.rfind("https:", 0) == 0) attributes += "; Secure";
    return attributes;
}

}  // namespace

std::optional<Session> signedIn(CompetitionService& service, const HttpRequest& req) {
    return service.sessions().find(cookieValue(req, sessionCookieName));
}

bool formTokenMatches(const Session& session, const HttpRequest& req) {
    std::string sent = req.param(formTokenFieldName);
    const std::string& own = session.formToken;
    return !own.empty() && sent.size() == own.size() && sodium_memcmp(sent.data(), own.data(), own.size()) == 0;
}

SignedInPost signedInPost(CompetitionService& service, const HttpRequest& req) {
    auto session = signedIn(service, req);
    if (!session) return {Outcome::signInNeeded, std::nullopt};
    if (!formTokenMatches(*session, req)) return {Outcome::forbidden, std::nullopt};
    return {Outcome::done, std::move(session)};
}

Html formTokenField(const Session& session) {
    return Template("<input type=\"hidden\" name=\"form\" value=\"{{token}}\">")
        .set("token", session.formToken)
        .render();
}

HttpAnswer htmlAnswer(Outcome outcome, std::string_view title, const Html& body,
                      const std::optional<Session>& visitor) {
    NavBar nav;
    if (visitor) nav.formToken = visitor->formToken;
    return pageAnswer(outcome, htmlPage(title, body, nav));
}

HttpAnswer refusedPostAnswer(Outcome outcome) {
    if (outcome == Outcome::signInNeeded) {
        return htmlAnswer(outcome, "Logga in",
                          Template("<h1>Logga in först</h1>\n<p>Du är inte inloggad, eller har varit borta så länge "
                                   "att du har loggats ut. <a href=\"/logga-in.htm\">Logga in</a> och försök "
                                   "igen.</p>\n")
                              .render(),
                          std::nullopt);
    }
    return htmlAnswer(outcome, "Otillåtet",
                      Template("<h1>Formuläret gäller inte längre</h1>\n<p>Formuläret hör inte till din "
                               "inloggning. Gå tillbaka, ladda om sidan och försök igen.</p>\n")
                          .render(),
                      std::nullopt);
}

std::string sessionCookie(const NewSession& session, std::string_view site) {
    return std::string(sessionCookieName) + "=" + session.id + cookieAttributes(site) +
           "; Max-Age=" + std::to_string(sessionLifetime);
}

std::string endedSessionCookie(std::string_view site) {
    return std::string(sessionCookieName) + "=" + cookieAttributes(site) + "; Max-Age=0";
}
