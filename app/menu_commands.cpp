#include "app/menu_commands.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "app/program_state.h"
#include "app/web_addresses.h"
#include "res/resource_ids.h"

namespace {

void showInformation(GameSession& session, int index) {
    infoTextIndex = index;
    session.showInformation = 1;
}

MenuOutcome openPage(std::string address) { return {MenuOutcome::Action::OpenPage, std::move(address)}; }

struct KeyLatchPair {
    std::uint8_t KeyLatches::*pressed;
    std::uint8_t KeyLatches::*released;
};

// Virtual-key codes of Space and the arrow keys.
std::optional<KeyLatchPair> latchesOf(unsigned virtualKey) {
    switch (virtualKey) {
    case 0x20: return KeyLatchPair{&KeyLatches::firePressed, &KeyLatches::fireReleased};
    case 0x25: return KeyLatchPair{&KeyLatches::leftPressed, &KeyLatches::leftReleased};
    case 0x26: return KeyLatchPair{&KeyLatches::upPressed, &KeyLatches::upReleased};
    case 0x27: return KeyLatchPair{&KeyLatches::rightPressed, &KeyLatches::rightReleased};
    case 0x28: return KeyLatchPair{&KeyLatches::downPressed, &KeyLatches::downReleased};
    default: return std::nullopt;
    }
}

}  // namespace

MenuOutcome applyMenuCommand(GameSession& session, int commandId) {
    switch (commandId) {
    case IDM_NEW_GAME: session.restartRequested = 1; break;
    case IDM_GAME_RULES: showInformation(session, 0); break;
    case IDM_QUIT: return {MenuOutcome::Action::Quit, {}};
    case IDM_COMPETITION_RULES: showInformation(session, 1); break;
    case IDM_ABOUT_KVIPPA: showInformation(session, 2); break;
    case IDM_REGISTER_SCORE: session.showRegistration = 1; break;
    case IDM_CHALLENGE_FRIENDS: return openPage(competitionAddress("/index2.htm"));
    case IDM_MAKER_SITE: return openPage(makerAddress("/"));
    case IDM_COMPETITION_SITE: return openPage(competitionAddress("/"));
    default: break;
    }
    return {};
}

void latchKeyDown(KeyLatches& latches, unsigned virtualKey) {
    if (auto pair = latchesOf(virtualKey)) latches.*(pair->pressed) = 1;
}

void latchKeyUp(KeyLatches& latches, unsigned virtualKey) {
    if (auto pair = latchesOf(virtualKey)) latches.*(pair->released) = 1;
}
