#pragma once
// Sessions as requests carry them: the zifra_session cookie (HttpOnly,
// SameSite=Lax, Path=/, Secure when the site is https), who is signed in
// on a request, and the form token that every form of a signed-in page
// carries in its hidden field `form` and every signed-in POST must send.
#include <optional>
#include <string>
#include <string_view>

#include "server/competition_service.h"
#include "server/html_template.h"
#include "server/http_exchange.h"
#include "server/outcome.h"
#include "server/sessions.h"

inline constexpr char sessionCookieName[] = "zifra_session";
inline constexpr char formTokenFieldName[] = "form";

// The session of the request's cookie while it lasts; none without one.
std::optional<Session> signedIn(CompetitionService& service, const HttpRequest& req);

// True when the request's field `form` is the session's own form token.
bool formTokenMatches(const Session& session, const HttpRequest& req);

// Whether a POST of a signed-in player may do anything: done with the
// session; signInNeeded without one; forbidden when `form` is not its token.
struct SignedInPost {
    Outcome outcome = Outcome::signInNeeded;
    std::optional<Session> session;  // when done
};
SignedInPost signedInPost(CompetitionService& service, const HttpRequest& req);

// The hidden input that carries the session's form token, for a
// template's slot: <form ...>{{form}}...</form>.
Html formTokenField(const Session& session);

// A page in the service's look with the nav bar of the visitor (sign-in,
// or my pages and sign-out), its status from the outcome. A page for a
// signed-in player must be routed with Keeping::noStore.
HttpAnswer htmlAnswer(Outcome outcome, std::string_view title, const Html& body, const std::optional<Session>& visitor);

// The answer to a signed-in POST that signedInPost refused.
HttpAnswer refusedPostAnswer(Outcome outcome);

// The Set-Cookie values that give the browser a session and that take it back.
std::string sessionCookie(const NewSession& session, std::string_view site);
std::string endedSessionCookie(std::string_view site);
