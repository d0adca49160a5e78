// The prompt and information dialogs' procedures. Every message first runs an
// empty paint cycle of the main window; the answers are the session's own.
#include "app/information_texts.h"
#include "app/main_window.h"
#include "app/program_state.h"
#include "app/prompt_answers.h"
#include "res/resource_ids.h"

namespace {

constexpr int buttonYes = 1;  // also "OK", Enter
constexpr int buttonNo = 2;   // also Escape and the close box

}  // namespace

INT_PTR CALLBACK promptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    emptyMainWindowPaintCycle();
    if (!theSession) return 0;
    GameSession& session = *theSession;
    switch (message) {
    case WM_INITDIALOG:
        if (auto text = promptText(session)) {
            SetWindowTextA(dialog, text->title);
            SetDlgItemTextA(dialog, IDC_TEXT, text->question);
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == buttonYes) {
            answerPromptYes(session);
            EndDialog(dialog, 0);
        } else if (LOWORD(wParam) == buttonNo) {
            answerPromptNo(session);
            EndDialog(dialog, 0);
        }
        return 0;
    default: return 0;
    }
}

INT_PTR CALLBACK informationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    emptyMainWindowPaintCycle();
    switch (message) {
    case WM_INITDIALOG:
        if (const char* text = informationText(infoTextIndex)) SetDlgItemTextA(dialog, IDC_TEXT, text);
        return 0;
    case WM_COMMAND:
        // Only "OK" closes it; Escape arrives as the other button and is ignored.
        if (LOWORD(wParam) == buttonYes) {
            resetFrameClock();
            EndDialog(dialog, 0);
        }
        return 0;
    case WM_CTLCOLORSTATIC: {
        // The read-only text: black on white, over the light-grey brush.
        HDC context = reinterpret_cast<HDC>(wParam);
        SetTextColor(context, RGB(0, 0, 0));
        SetBkColor(context, RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(GetStockObject(LTGRAY_BRUSH));
    }
    default: return 0;
    }
}
