// Lists the visible dialogs on the display and their controls, for the
// end-to-end tests: what the player would read (captions, button and field
// texts) and where each control is on the screen. One line each:
//   dialog <caption in hex>
//   control <id> <left> <top> <right> <bottom> <text in hex, or "busy">
// Texts are the code-page bytes, in hexadecimal; "busy" when the dialog's
// thread did not answer within a second (it is blocked, e.g. sending a score).
#include <windows.h>

#include <cstdio>

namespace {

void printHex(const char* text) {
    for (const char* c = text; *c; ++c) std::printf("%02X", static_cast<unsigned char>(*c));
}

BOOL CALLBACK printControl(HWND control, LPARAM) {
    RECT r{};
    GetWindowRect(control, &r);
    std::printf("control %d %ld %ld %ld %ld ", GetDlgCtrlID(control), r.left, r.top, r.right, r.bottom);
    char text[512] = {};
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            1000, &copied)) {
        printHex(text);
    } else {
        std::printf("busy");
    }
    std::printf("\n");
    return TRUE;
}

BOOL CALLBACK printDialog(HWND window, LPARAM) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    std::printf("dialog ");
    printHex(caption);
    std::printf("\n");
    EnumChildWindows(window, printControl, 0);
    return TRUE;
}

}  // namespace

int main() {
    EnumWindows(printDialog, 0);
    return 0;
}
