// The registration dialog's procedure: it reads and fills the controls and
// carries out what the portable decisions of registration.h ask for.
#include "net/registration_dialog.h"

#include <string>

#include "app/main_window.h"
#include "app/program_state.h"
#include "app/web_addresses.h"
#include "net/registration.h"
#include "net/score_submission.h"
#include "platform/timer.h"
#include "res/resource_ids.h"

namespace {

constexpr int buttonOk = 1;      // also Enter
constexpr int buttonCancel = 2;  // "Avbryt", also Escape

bool gameIsOver() { return theSession && theSession->gameOver; }

void carryOut(HWND dialog, const RegistrationActions& actions) {
    for (const RegistrationAction& action : actions) {
        switch (action.kind) {
        case RegistrationAction::OpenPage: openWebPage(competitionAddress(action.page).c_str()); break;
        case RegistrationAction::SayTryAgain: SetDlgItemTextA(dialog, buttonOk, "F\xF6rs\xF6k igen"); break;
        case RegistrationAction::ResetBestScore: bestScore.setValue(0); break;
        case RegistrationAction::AskPlayAgain:
            if (theSession) theSession->askPlayAgain = 1;
            break;
        case RegistrationAction::ResetFrameClock: resetFrameClock(); break;
        // Only marks the dialog to close once this message is handled.
        case RegistrationAction::EndDialog: EndDialog(dialog, 0); break;
        }
    }
}

void onInit(HWND dialog) {
    std::string caption = "Registrera din po\xE4ng (" + std::to_string(bestScore.value()) + ")";
    SetWindowTextA(dialog, caption.c_str());
    SetDlgItemTextA(dialog, IDC_USER_NAME, theSubmission.userName.c_str());
    SetDlgItemTextA(dialog, IDC_PASSWORD, theSubmission.password.c_str());
}

void onOk(HWND dialog) {
    char userName[maxUserNameLength + 1] = {};
    char password[maxPasswordLength + 1] = {};
    GetDlgItemTextA(dialog, IDC_USER_NAME, userName, sizeof userName);
    GetDlgItemTextA(dialog, IDC_PASSWORD, password, sizeof password);
    platform::sleepMilliseconds(10);
    if (!prepareSubmission(theSubmission, userName, password, bestScore, bestScorePlayTime, bestScoreIntegrityFlag)) {
        return;
    }
    SetDlgItemTextA(dialog, buttonOk, "Skickar...");
    // Blocks for some seconds: the speed count alone takes three.
    submitScore(theSubmission);
    carryOut(dialog, actionsAfterSubmission(theSubmission, gameIsOver()));
}

}  // namespace

INT_PTR CALLBACK registrationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    emptyMainWindowPaintCycle();
    switch (message) {
    case WM_INITDIALOG: onInit(dialog); return 0;  // 0: no keyboard focus is placed
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case buttonOk: onOk(dialog); break;
        case buttonCancel: carryOut(dialog, actionsOnCancel(gameIsOver())); break;
        case IDC_NEW_USER: carryOut(dialog, actionsOnNewUser()); break;
        }
        return 0;
    default: return 0;
    }
}
