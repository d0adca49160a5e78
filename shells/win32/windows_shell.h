#pragma once
// The Windows shell of the program (zifra.exe): the main window, the main
// loop that steps the program, waits for its frames and shows them, the
// modal dialogs and web pages it asks for, and the orderly end.
#include <windows.h>

#include <memory>
#include <vector>

#include "app/game_key.h"
#include "app/program.h"
#include "app/request.h"
#include "shells/win32/frame_wait.h"
#include "shells/win32/presentation.h"

class WindowsShell {
public:
    // The program (whose first world starts the opening music before any
    // window exists), the main window shown with `showCommand`, the palette
    // and the frame buffer.
    WindowsShell(HINSTANCE instance, int showCommand);
    ~WindowsShell();

    WindowsShell(const WindowsShell&) = delete;
    WindowsShell& operator=(const WindowsShell&) = delete;

    // Passes until the quit message, each followed by at most one window
    // message; returns the quit message's wParam, the exit code.
    int run();

    // One pass of the main loop: steps the program, carrying out what it asks
    // for in between (dialogs, the wait for the frame), until a frame has
    // run; shows the frame and polls F1. Does nothing after the end.
    void runPass();

    // Ends the program in order: the program's session and world, the frame
    // buffer, the quit message.
    void quitGame();

    // From the window procedure.
    void keyEvent(GameKey key, bool down) { keys_.push_back({key, down}); }
    void menuCommand(int commandId);
    void realizePalette();

private:
    void carryOut(const Request& request);

    HINSTANCE instance_;
    TimerPeriod timerPeriod_;
    Program program_;
    HWND mainWindow_ = nullptr;
    std::unique_ptr<Presentation> presentation_;
    // Key events since the last step, for the next one.
    std::vector<KeyEvent> keys_;
};
