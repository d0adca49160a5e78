#pragma once
// The Windows shell of the program (zifra.exe): the main window, the main
// loop that steps the program, waits for its frames and shows them, the
// modal dialogs and web pages it asks for, and the orderly end.
#include <windows.h>

#include <memory>

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
    // message, and only messages while the game is held; returns the quit
    // message's wParam, the exit code.
    int run();

    // One pass of the main loop: steps the program, carrying out what it asks
    // for in between (dialogs, the wait for the frame), until a frame has
    // run, and shows the frame. False, with no frame, while the game is
    // held; nothing after the end.
    bool runPass();

    // Ends the program in order: the program's session and world, the frame
    // buffer, the quit message.
    void quitGame();

    // From the window procedure.
    void keyEvent(GameKey key, bool down) { program_.keyEvent({key, down}); }
    void menuCommand(int commandId);
    void realizePalette();
    void windowActivated(bool active);
    void windowMinimised(bool minimised);
    void modalLoopEnded();
    // The window's paint message: the picture as it was, and the window
    // validated; nothing inside the main loop's own paint cycle, which shows
    // the new picture itself.
    void paint(HWND window);

private:
    void carryOut(const Request& request);
    // Whether a dialog's controls hold the code page's text or any character.
    enum class DialogText { codePage, wide };
    // A modal dialog from the program's resources; the program hears when it ends.
    void showDialog(int templateId, DLGPROC procedure, LPARAM parameter, DialogText text = DialogText::codePage);
    // Ends the main loop's wait for a message once the game is no longer held.
    void wakeIfResumed();

    HINSTANCE instance_;
    TimerPeriod timerPeriod_;
    Program program_;
    HWND mainWindow_ = nullptr;
    std::unique_ptr<Presentation> presentation_;
    // The main loop's paint cycle is running: its UpdateWindow's paint
    // message is left to the cycle.
    bool inOwnPaintCycle_ = false;
};
