// The entry of zifra.exe.
#include "shells/win32/windows_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WindowsShell shell(instance, showCommand);
    return shell.run();
}
