#pragma once
// The modal dialogs' procedures. Each reaches the program through the
// parameter of DialogBoxParam (kept in the dialog's DWLP_USER from
// WM_INITDIALOG on), and every message first runs an empty paint cycle of
// the main window, which owns the dialog.
#include <windows.h>

#include "app/program.h"
#include "app/prompt_answers.h"
#include "shells/win32/main_window.h"

// The prompt (resource 135): its parameter is a PromptDialog.
struct PromptDialog {
    Program& program;
    PromptText text;
};
INT_PTR CALLBACK promptDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The information dialog (resource 129): its parameter is an
// InformationDialog; a null text leaves the text field empty.
struct InformationDialog {
    Program& program;
    const char* text;
};
INT_PTR CALLBACK informationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The registration dialog (resource 131): its parameter is the Program. Run
// it as a Unicode dialog (DialogBoxParamW), so that its fields keep every
// character typed.
INT_PTR CALLBACK registrationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// What every message to these dialogs does first: the empty paint cycle of
// the main window; then it gives what DialogBoxParam handed to the dialog,
// once WM_INITDIALOG has kept it (nullptr before).
template <typename Parameter>
Parameter* beginDialogMessage(HWND dialog, UINT message, LPARAM lParam) {
    emptyOwnerPaintCycle(dialog);
    if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return reinterpret_cast<Parameter*>(GetWindowLongPtrA(dialog, DWLP_USER));
}
