#pragma once
// The main window and its paint cycle, shared by the main loop and every
// modal dialog's procedure. Windows only.
#include <windows.h>

extern HWND mainWindow;
// Device context of the paint cycle open now (main loop or dialog).
extern HDC paintContext;

// Registers the class "Zifra Invaders" and creates the main window with a
// 400 x 300 client area; not yet shown.
HWND createMainWindow(HINSTANCE instance);

// Invalidates the whole main window without erasing, updates it, and runs
// `body` inside a paint cycle. The window procedure never validates, so
// without these cycles endless paint messages would keep the message queue
// from ever running empty, and a modal dialog only shows once it does.
template <typename Body>
void mainWindowPaintCycle(Body body) {
    InvalidateRgn(mainWindow, nullptr, FALSE);
    UpdateWindow(mainWindow);
    PAINTSTRUCT paint;
    paintContext = BeginPaint(mainWindow, &paint);
    body();
    EndPaint(mainWindow, &paint);
}

inline void emptyMainWindowPaintCycle() {
    mainWindowPaintCycle([] {});
}

// Hands `address` to the user's browser with the shell's "open", owned by the
// desktop window; not waited for, and a missing browser or network is not
// the game's business.
void openWebPage(const char* address);

LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK promptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK informationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
