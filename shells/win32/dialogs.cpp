// The prompt and information dialogs' procedures; the answers are the
// program's own.
#include "shells/win32/dialogs.h"

#include "platform/timer.h"
#include "res/resource_ids.h"

namespace {

constexpr int buttonYes = 1;  // also "OK", Enter
constexpr int buttonNo = 2;   // also Escape and the close box

}  // namespace

INT_PTR CALLBACK promptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* prompt = beginDialogMessage<PromptDialog>(dialog, message, lParam);
    if (!prompt) return 0;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(dialog, prompt->text.title);
        SetDlgItemTextA(dialog, IDC_TEXT, prompt->text.question);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == buttonYes || LOWORD(wParam) == buttonNo) {
            prompt->program.answerPrompt(LOWORD(wParam) == buttonYes, platform::milliseconds());
            EndDialog(dialog, 0);
        }
        return 0;
    default: return 0;
    }
}

INT_PTR CALLBACK informationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* information = beginDialogMessage<InformationDialog>(dialog, message, lParam);
    if (!information) return 0;
    switch (message) {
    case WM_INITDIALOG:
        if (information->text) SetDlgItemTextA(dialog, IDC_TEXT, information->text);
        return 0;
    case WM_COMMAND:
        // Only "OK" closes it; Escape arrives as the other button and is ignored.
        if (LOWORD(wParam) == buttonYes) {
            information->program.closeInformation(platform::milliseconds());
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
