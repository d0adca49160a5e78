#pragma once
// The answers of a player's own account as functions of the request;
// competitionRoutes (http_routes.h) gives them addresses.
//
//   GET  /logga-in.htm[?next=PATH]   the sign-in form (signed in: on to PATH)
//   POST /logga-in.htm               email, password, next -> 303 to next or /mina-sidor, a new session
//   POST /logga-ut.htm               form -> 303 to /, the session ended
//   GET  /mina-sidor                 my pages (not signed in: on to the sign-in)
//   POST /mina-sidor/smeknamn        form, nickname                  -> 303 to /mina-sidor, or the faults
//   POST /mina-sidor/epost           form, email, password           -> 303, a link mailed to the address
//   POST /mina-sidor/losenord        form, password, new, repeated   -> 303, other sessions ended
//   POST /mina-sidor/nyheter         form, news=ja or none           -> 303
//   POST /mina-sidor/radera          form, password, sure=ja         -> 303 to /, the account gone
//   GET  /mina-sidor/data.json       my data, as an attachment
//   GET  /mina-sidor/ny-epost?token= the button that makes an e-mail change
//   POST /mina-sidor/ny-epost        token -> makes it
#include <string>

#include "server/competition_service.h"
#include "server/http_exchange.h"

// Where to go after signing in: `next` when it is a path of this site
// (one "/" first), else my pages.
std::string pathAfterSignIn(const std::string& next);

HttpAnswer signInFormAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer signInAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer signOutAnswer(CompetitionService& service, const HttpRequest& req);

HttpAnswer myPageAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer nicknameChangeAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer emailChangeRequestAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer passwordChangeAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer newsChoiceAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer accountDeletionAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer myDataAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer emailChangeFormAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer emailChangeAnswer(CompetitionService& service, const HttpRequest& req);
