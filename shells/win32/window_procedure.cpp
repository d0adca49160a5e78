// The main window's procedure: keys into the program's key events, menu
// commands into the program's commands, destruction into the end of the
// program. It draws nothing.
#include <optional>

#include "shells/win32/main_window.h"
#include "shells/win32/windows_shell.h"

namespace {

// Space, the arrow keys and F1, by virtual-key code.
std::optional<GameKey> gameKeyOf(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_SPACE: return GameKey::fire;
    case VK_LEFT: return GameKey::left;
    case VK_UP: return GameKey::up;
    case VK_RIGHT: return GameKey::right;
    case VK_DOWN: return GameKey::down;
    case VK_F1: return GameKey::newGame;
    default: return std::nullopt;
    }
}

}  // namespace

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* creation = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* shell = reinterpret_cast<WindowsShell*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!shell) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
    case WM_TIMER:
    case WM_PALETTECHANGED: return 0;
    case WM_PAINT: shell->paint(window); return 0;
    case WM_DESTROY: shell->quitGame(); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Keys reach this window only while it has the focus, so F1 pressed
        // for another program is not ours.
        if (auto key = gameKeyOf(wParam)) shell->keyEvent(*key, message == WM_KEYDOWN);
        return 0;
    // A key let go while Alt is down comes up as a system key: for the game
    // it is up all the same. The system still sees it, so that Alt reaches
    // the menu bar (or not, after this key) and Alt-F4 closes, as before.
    case WM_SYSKEYUP:
        if (auto key = gameKeyOf(wParam)) shell->keyEvent(*key, false);
        break;
    case WM_COMMAND: shell->menuCommand(LOWORD(wParam)); return 0;
    case WM_QUERYNEWPALETTE: shell->realizePalette(); return 0;
    // What the player can see of the window, and the modal loops that end:
    // news for the program, then the system's own handling (which moves the
    // focus, for one).
    case WM_ACTIVATE: shell->windowActivated(LOWORD(wParam) != WA_INACTIVE); break;
    // Every size message says whether the window is minimised now: the one
    // that ends a minimise may say SIZE_MAXIMIZED, for a window shown
    // maximised before.
    case WM_SIZE: shell->windowMinimised(IsIconic(window) != FALSE); break;
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE: shell->modalLoopEnded(); break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
