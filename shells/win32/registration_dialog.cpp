// The registration dialog's procedure: it reads and fills the controls, sends
// the record, and carries out the dialog's part of what the program decides.
#include <string>

#include "app/program.h"
#include "app/web_addresses.h"
#include "net/score_submission.h"
#include "platform/timer.h"
#include "res/resource_ids.h"
#include "shells/win32/dialogs.h"
#include "shells/win32/main_window.h"

namespace {

constexpr int buttonOk = 1;      // also Enter
constexpr int buttonCancel = 2;  // "Avbryt", also Escape

void carryOut(HWND dialog, const RegistrationActions& actions) {
    for (const RegistrationAction& action : actions) {
        switch (action.kind) {
        case RegistrationAction::OpenPage: openWebPage(competitionAddress(action.page)); break;
        case RegistrationAction::SayTryAgain: SetDlgItemTextA(dialog, buttonOk, "F\xF6rs\xF6k igen"); break;
        // Only marks the dialog to close once this message is handled.
        case RegistrationAction::EndDialog: EndDialog(dialog, 0); break;
        // The program's own part, carried out by the program.
        default: break;
        }
    }
}

void onInit(HWND dialog, Program& program) {
    std::string caption = "Registrera din po\xE4ng (" + std::to_string(program.bestScore.value()) + ")";
    SetWindowTextA(dialog, caption.c_str());
    SetDlgItemTextA(dialog, IDC_USER_NAME, program.theSubmission.userName.c_str());
    SetDlgItemTextA(dialog, IDC_PASSWORD, program.theSubmission.password.c_str());
}

void onOk(HWND dialog, Program& program) {
    char userName[maxUserNameLength + 1] = {};
    char password[maxPasswordLength + 1] = {};
    GetDlgItemTextA(dialog, IDC_USER_NAME, userName, sizeof userName);
    GetDlgItemTextA(dialog, IDC_PASSWORD, password, sizeof password);
    platform::sleepMilliseconds(10);
    if (!program.prepareSubmission(userName, password)) return;
    SetDlgItemTextA(dialog, buttonOk, "Skickar...");
    // Blocks for some seconds: the speed count alone takes three.
    submitScore(program.theSubmission);
    carryOut(dialog, program.registrationSubmitted(platform::milliseconds()));
}

}  // namespace

INT_PTR CALLBACK registrationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* program = beginDialogMessage<Program>(dialog, message, lParam);
    if (!program) return 0;
    switch (message) {
    case WM_INITDIALOG: onInit(dialog, *program); return 0;  // 0: no keyboard focus is placed
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case buttonOk: onOk(dialog, *program); break;
        case buttonCancel: carryOut(dialog, program->registrationCancelled(platform::milliseconds())); break;
        case IDC_NEW_USER: carryOut(dialog, actionsOnNewUser()); break;
        }
        return 0;
    default: return 0;
    }
}
