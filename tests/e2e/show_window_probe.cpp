// Shows the main window of zifra.exe as another program may, with each show
// command named on the command line in turn (maximised, minimised,
// restored), or makes it the foreground window (foreground); for the
// end-to-end tests. Exit code 0 once done, 1 without such a window, 2 for a
// name it does not know.
#include <windows.h>

#include <cstring>

int main(int argc, char** argv) {
    HWND window = FindWindowA("Zifra Invaders", "Zifra Invaders");
    if (!window) return 1;
    for (int i = 1; i < argc; ++i) {
        const char* name = argv[i];
        if (std::strcmp(name, "foreground") == 0) {
            SetForegroundWindow(window);
            continue;
        }
        int command = std::strcmp(name, "maximised") == 0   ? SW_SHOWMAXIMIZED
                      : std::strcmp(name, "minimised") == 0 ? SW_MINIMIZE
                      : std::strcmp(name, "restored") == 0  ? SW_RESTORE
                                                            : -1;
        if (command < 0) return 2;
        ShowWindow(window, command);
    }
    return 0;
}
