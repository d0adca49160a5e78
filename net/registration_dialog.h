#pragma once
// The registration dialog (resource 131), run modally by the main loop.
// Windows only.
#include <windows.h>

INT_PTR CALLBACK registrationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
