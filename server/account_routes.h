#pragma once
// The answers of a player's own account as functions of the request;
// competitionRoutes (http_routes.h) gives them addresses.
//
//   GET  /logga-in.htm[?next=PATH]   the sign-in form (signed in: on to PATH)
//   POST /logga-in.htm               email, password, next -> 303 to next or /mina-sidor, a new session
//   POST /logga-ut.htm               form -> 303 to /, the session ended
#include <string>

#include "server/competition_service.h"
#include "server/http_exchange.h"

// Where to go after signing in: `next` when it is a path of this site
// (one "/" first), else my pages.
std::string pathAfterSignIn(const std::string& next);

HttpAnswer signInFormAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer signInAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer signOutAnswer(CompetitionService& service, const HttpRequest& req);
