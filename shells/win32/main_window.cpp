#include "shells/win32/main_window.h"

#include <shellapi.h>

#include "res/resource_ids.h"

namespace {

constexpr const char* windowName = "Zifra Invaders";
constexpr DWORD windowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int clientWidth = 400;
constexpr int clientHeight = 300;

}  // namespace

HWND createMainWindow(HINSTANCE instance, WindowsShell* shell) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = mainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    windowClass.lpszClassName = windowName;
    RegisterClassA(&windowClass);

    // Sized from the client area, so that any frame metrics leave the
    // 400 x 300 that the picture fills (406 x 344 with the classic ones).
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&outer, windowStyle, TRUE);
    return CreateWindowExA(0, windowName, windowName, windowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance, shell);
}

void openWebPage(const std::string& address) {
    ShellExecuteA(GetDesktopWindow(), "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
