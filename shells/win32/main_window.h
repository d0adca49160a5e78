#pragma once
// The main window and its paint cycle, shared by the main loop and every
// modal dialog's procedure.
#include <windows.h>

#include <string>

class WindowsShell;

// Registers the class "Zifra Invaders" and creates the main window with a
// 400 x 300 client area for `shell`, whose window procedure it reaches; not
// yet shown.
HWND createMainWindow(HINSTANCE instance, WindowsShell* shell);

// Invalidates the whole window without erasing, updates it, and runs `body`
// inside a paint cycle. The main loop shows each frame in one; a modal
// dialog only shows once the message queue runs empty, which these cycles
// see to for the main window's paint messages.
template <typename Body>
void paintCycle(HWND window, Body body) {
    InvalidateRgn(window, nullptr, FALSE);
    UpdateWindow(window);
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    body();
    EndPaint(window, &paint);
}

// The cycle that every message to a modal dialog runs on the dialog's owner,
// the main window, before anything else.
inline void emptyOwnerPaintCycle(HWND dialog) {
    paintCycle(GetWindow(dialog, GW_OWNER), [] {});
}

// Hands `address` to the user's browser with the shell's "open", owned by the
// desktop window; not waited for, and a missing browser or network is not
// the game's business.
void openWebPage(const std::string& address);

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
