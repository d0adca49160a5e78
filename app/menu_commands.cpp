// The main window's menu, as the program's commands.
#include "app/program.h"
#include "app/web_addresses.h"
#include "res/resource_ids.h"

std::optional<Request> Program::menuCommand(int commandId) {
    if (!theSession) return std::nullopt;
    GameSession& session = *theSession;
    auto showInformation = [&](int index) {
        infoTextIndex = index;
        session.showInformation = true;
    };
    switch (commandId) {
    case IDM_NEW_GAME: session.restartRequested = true; break;
    case IDM_GAME_RULES: showInformation(0); break;
    case IDM_QUIT: return QuitProgram{};
    case IDM_COMPETITION_RULES: showInformation(1); break;
    case IDM_ABOUT_KVIPPA: showInformation(2); break;
    case IDM_REGISTER_SCORE: session.showRegistration = true; break;
    case IDM_CHALLENGE_FRIENDS: return OpenAddress{competitionAddress("/index2.htm")};
    case IDM_MAKER_SITE: return OpenAddress{makerAddress("/")};
    case IDM_COMPETITION_SITE: return OpenAddress{competitionAddress("/")};
    default: break;
    }
    return std::nullopt;
}
