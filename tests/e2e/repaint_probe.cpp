// Asks the main window of zifra.exe to paint itself again, as Windows asks a
// window that was covered and is uncovered; for the end-to-end tests. Exit
// code 0 once asked, 1 without such a window.
#include <windows.h>

int main() {
    HWND window = FindWindowA("Zifra Invaders", "Zifra Invaders");
    if (!window) return 1;
    return InvalidateRect(window, nullptr, FALSE) ? 0 : 2;
}
