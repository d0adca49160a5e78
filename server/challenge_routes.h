#pragma once
// The pages of "Utmana dina vänner" and of the links in a challenge mail,
// as functions of what a request carries to an answer:
//
//   GET  /index2.htm          signed in: the form; else what a challenge is
//   POST /index2.htm          friend1 ... friend5, message, form (the
//                             session's form token)
//   GET  /reg3.htm?utmaning=  the sign-up form for a challenged friend
//   GET  /avsluta.htm?token=  the button of an address's no-more-mail link
//                             (a news link's is contest_routes.h's)
//   POST /avsluta.htm?token=  puts the address on the list (one click)
#include <string>

#include "server/competition_service.h"
#include "server/http_exchange.h"

HttpAnswer challengePageAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer challengeAnswer(CompetitionService& service, const HttpRequest& req);
HttpAnswer challengeSignUpFormAnswer(CompetitionService& service, const std::string& token);
HttpAnswer stopMailFormAnswer(CompetitionService& service, const std::string& token);
HttpAnswer stopMailAnswer(CompetitionService& service, const std::string& token);
