// Measures the main loop's frame period from inside, with the very start-up
// and passes of zifra.exe: 500 frames, timed by the multimedia clock right
// after each pass, once the frames made up for the start-up have run.
// Writes "frames mean_ms worst_deviation_ms late_frames" to the file named by
// its argument, for the pacing test.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shells/win32/windows_shell.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    WindowsShell shell(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    std::vector<DWORD> stamps;
    MSG message;
    // The program starts its clock before the window exists; the frames
    // due meanwhile are run back to back first.
    constexpr int startUpFrames = 25;
    for (int pass = 0; stamps.size() < 501; ++pass) {
        shell.runPass();
        if (pass >= startUpFrames) stamps.push_back(timeGetTime());
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return 3;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    double worst = 0;
    int late = 0;
    for (size_t i = 1; i < stamps.size(); ++i) {
        double deviation = std::abs(static_cast<double>(stamps[i] - stamps[i - 1]) - 40.0);
        if (deviation > worst) worst = deviation;
        if (deviation > 5) ++late;
    }
    double mean = static_cast<double>(stamps.back() - stamps.front()) / (stamps.size() - 1);
    FILE* out = std::fopen(argv[1], "w");
    if (!out) return 4;
    std::fprintf(out, "%zu %.3f %.0f %d\n", stamps.size() - 1, mean, worst, late);
    std::fclose(out);
    shell.quitGame();
    return 0;
}
