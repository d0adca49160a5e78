// The main window's procedure: keys into latches, menu commands into session
// flags, destruction into the end of the program. It draws nothing.
#include "app/main_window.h"

#include "app/menu_commands.h"
#include "app/program_state.h"
#include "gfx/frame_buffer.h"

namespace {

void onMenuCommand(int commandId) {
    if (!theSession) return;
    MenuOutcome outcome = applyMenuCommand(*theSession, commandId);
    switch (outcome.action) {
    case MenuOutcome::Action::Quit: quitGame(); break;
    case MenuOutcome::Action::OpenPage: openWebPage(outcome.address.c_str()); break;
    case MenuOutcome::Action::None: break;
    }
}

}  // namespace

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
    case WM_TIMER:
    case WM_PALETTECHANGED:
        return 0;
    case WM_PAINT:
        // Not validated here: the main loop and the dialogs run the paint cycles.
        return 0;
    case WM_DESTROY: quitGame(); return 0;
    case WM_KEYDOWN: latchKeyDown(keyLatches, static_cast<unsigned>(wParam)); return 0;
    case WM_KEYUP: latchKeyUp(keyLatches, static_cast<unsigned>(wParam)); return 0;
    case WM_COMMAND: onMenuCommand(LOWORD(wParam)); return 0;
    case WM_QUERYNEWPALETTE: realizeGamePalette(); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
