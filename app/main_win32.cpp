// The entry of zifra.exe.
#include "app/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    startProgram(instance, showCommand);
    return runMainLoop();
}
