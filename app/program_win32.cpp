// The program's start-up, its main loop and its orderly end.
#include <new>

#include "app/main_window.h"
#include "app/program.h"
#include "app/program_state.h"
#include "app/score_bookkeeping.h"
#include "game/world.h"
#include "gfx/frame_buffer.h"
#include "net/registration_dialog.h"
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

}  // namespace

void startProgram(HINSTANCE instance, int showCommand) {
    theSession.reset(new (std::nothrow) GameSession);
    HWND window = createMainWindow(instance);
    ShowWindow(window, showCommand);
    createFrameBuffer();
    bestScore.setValue(0);
    bestScorePlayTime = 0;
    offeredScore = 0;
    bestScoreIntegrityFlag = 0;
    // theSubmission needs no setting here: its member initialisers are its
    // start values (empty texts, score 0, gameId 4, versionNumber 3).
    UpdateWindow(window);
    mainWindow = window;
}

void runSessionPass() {
    if (!theSession) return;
    gameOverBookkeeping(*theSession, platform::milliseconds());
    raiseDialog(&GameSession::askSendHighScore, IDD_PROMPT, promptDialogProc);
    raiseDialog(&GameSession::showRegistration, IDD_REGISTRATION, registrationDialogProc);
    raiseDialog(&GameSession::askPlayAgain, IDD_PROMPT, promptDialogProc);
    raiseDialog(&GameSession::showInformation, IDD_INFORMATION, informationDialogProc);
    if (!theSession) return;

    mainWindowPaintCycle([] {
        theSession->tick(paintContext);
        presentFrameBuffer();
    });
    if (theSession->world)
        bestScoreBookkeeping(*theSession, theSession->world->scoreDisplay->value(), platform::milliseconds());
    // Down now, or pressed since the last poll.
    if (GetAsyncKeyState(VK_F1) & 0x8001) theSession->restartRequested = 1;
    if (theSession->quitRequested == 1) quitGame();
}

int runMainLoop() {
    MSG message{};
    BOOL loopControl = 1;
    while (loopControl == 1) {
        if (theSession) {
            runSessionPass();
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) continue;
        }
        // Without a session there is nothing to pace, so this waits.
        loopControl = GetMessageA(&message, nullptr, 0, 0);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void quitGame() {
    theSession.reset();
    deleteFrameBuffer();
    PostQuitMessage(0);
}
