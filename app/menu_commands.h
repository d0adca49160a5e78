#pragma once
// The main window's menu commands and keys, turned into flags and latches.
// Portable; the window procedure carries out what is left for Windows.
#include <string>

#include "game/game_session.h"
#include "game/key_latches.h"

struct MenuOutcome {
    enum class Action { None, Quit, OpenPage };
    Action action = Action::None;
    std::string address;  // the page to open, for OpenPage
};

// Sets the session flags (and infoTextIndex) that command `commandId` asks
// for; ending the program and opening a page are handed back to the caller.
// Unknown ids do nothing.
MenuOutcome applyMenuCommand(GameSession& session, int commandId);

// Sets the pressed (or released) latch of Space or an arrow key, by its
// virtual-key code; other keys change nothing.
void latchKeyDown(KeyLatches& latches, unsigned virtualKey);
void latchKeyUp(KeyLatches& latches, unsigned virtualKey);
