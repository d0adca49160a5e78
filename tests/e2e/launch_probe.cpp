// Starts a program as a launcher may that leaves the player where he is: its
// first window shown but not made active. For the end-to-end tests:
//   launch_probe PROGRAM
// waits for the program's end and gives its exit code (255 when it cannot
// start it).
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) return 255;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNOACTIVATE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return 255;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 255;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
