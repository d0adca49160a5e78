// Lists the visible dialogs on the display and their controls, for the
// end-to-end tests: what the player would read (captions, button and field
// texts) and where each control is on the screen. One line each:
//   dialog <caption in hex>
//   control <id> <left> <top> <right> <bottom> <text in hex, or "busy">
// Texts are read as wide text and written as UTF-8 bytes in hexadecimal, so
// that any character shows as it is; "busy" when the dialog's thread did not
// answer within a second (it is blocked, e.g. sending a score).
#include <windows.h>

#include <cstdio>
#include <iterator>

namespace {

void printHex(const wchar_t* text) {
    char utf8[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    for (const char* c = utf8; *c; ++c) std::printf("%02X", static_cast<unsigned char>(*c));
}

BOOL CALLBACK printControl(HWND control, LPARAM) {
    RECT r{};
    GetWindowRect(control, &r);
    std::printf("control %d %ld %ld %ld %ld ", GetDlgCtrlID(control), r.left, r.top, r.right, r.bottom);
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutW(control, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
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
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, std::size(caption));
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
