// The program's entry and its main loop, the only scheduler: dialogs the
// session asks for, one frame inside a paint cycle, the best score, F1, the
// quit, and at most one window message per pass.
#include <new>

#include "app/main_window.h"
#include "app/program_state.h"
#include "app/score_bookkeeping.h"
#include "game/world.h"
#include "gfx/frame_buffer.h"
#include "platform/timer.h"
#include "res/resource_ids.h"

namespace {

// Runs dialog `dialogId` modally if the session's `flag` asks for it, then
// clears the flag. The session is looked up afresh after the dialog, since
// the main window may be destroyed (and the session with it) meanwhile.
void raiseDialog(std::uint8_t GameSession::*flag, int dialogId, DLGPROC procedure) {
    if (!theSession || !(theSession.get()->*flag)) return;
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogId), mainWindow, procedure, 0);
    if (theSession) theSession.get()->*flag = 0;
}

void runFrame() {
    mainWindowPaintCycle([] {
        theSession->tick(paintContext);
        presentFrameBuffer();
    });
}

void runSessionPass() {
    gameOverBookkeeping(*theSession, platform::milliseconds());
    raiseDialog(&GameSession::askSendHighScore, IDD_PROMPT, promptDialogProc);
    // The registration dialog (resource 131) is raised here once it exists.
    if (theSession) theSession->showRegistration = 0;
    raiseDialog(&GameSession::askPlayAgain, IDD_PROMPT, promptDialogProc);
    raiseDialog(&GameSession::showInformation, IDD_INFORMATION, informationDialogProc);
    if (!theSession) return;

    runFrame();
    if (theSession->world)
        bestScoreBookkeeping(*theSession, theSession->world->scoreDisplay->value(), platform::milliseconds());
    // Down now, or pressed since the last poll.
    if (GetAsyncKeyState(VK_F1) & 0x8001) theSession->restartRequested = 1;
    if (theSession->quitRequested == 1) quitGame();
}

}  // namespace

void quitGame() {
    theSession.reset();
    deleteFrameBuffer();
    PostQuitMessage(0);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    theSession.reset(new (std::nothrow) GameSession);
    HWND window = createMainWindow(instance);
    ShowWindow(window, showCommand);
    createFrameBuffer();
    bestScore.setValue(0);
    bestScorePlayTime = 0;
    offeredScore = 0;
    bestScoreIntegrityFlag = 0;
    UpdateWindow(window);
    mainWindow = window;

    MSG message{};
    BOOL loopControl = 1;
    while (loopControl == 1) {
        if (theSession) {
            runSessionPass();
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) continue;
        }
        // Without a session there is nothing to pace, so wait for messages.
        loopControl = GetMessageA(&message, nullptr, 0, 0);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
