#pragma once
// The competition's pages as functions of what a request carries to an answer,
// so that only the route table knows the HTTP library.
//
//   GET  /                  the current period, the lists, the rules
//   GET  /vinnare.htm       every closed period's winners
//   GET  /vinst.htm?token=  a winner's claim form
//   POST /vinst.htm         token, fullname, address, sweden=ja
//   GET  /avsluta.htm?token=  the button that ends a news subscription
//   POST /avsluta.htm?token=  ends it (a mail program's one click too)
#include <string>

#include "server/api_routes.h"
#include "server/competition_service.h"

HttpAnswer startPageAnswer(CompetitionService& service);
HttpAnswer winnersPageAnswer(CompetitionService& service);
HttpAnswer claimFormAnswer(CompetitionService& service, const std::string& token);
HttpAnswer claimAnswer(CompetitionService& service, const std::string& token, const PrizeClaim& claim);
HttpAnswer unsubscribeFormAnswer(CompetitionService& service, const std::string& token);
HttpAnswer unsubscribeAnswer(CompetitionService& service, const std::string& token);
