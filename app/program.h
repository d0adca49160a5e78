#pragma once
// The program's start-up and its main loop, the only scheduler. Windows only.
#include <windows.h>

// Session, main window, frame buffer and score bookkeeping, in that order;
// the window is shown with `showCommand`.
void startProgram(HINSTANCE instance, int showCommand);

// One pass with a session: the dialogs it asks for, one frame inside a paint
// cycle, the best score, F1, and the quit. Does nothing without a session.
void runSessionPass();

// Passes until the quit message; returns its wParam, the exit code.
int runMainLoop();
