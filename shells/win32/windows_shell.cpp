#include "shells/win32/windows_shell.h"

#include <variant>

#include "app/information_texts.h"
#include "platform/cues.h"
#include "platform/timer.h"
#include "res/resource_ids.h"
#include "shells/win32/dialogs.h"
#include "shells/win32/main_window.h"

namespace {

// std::visit with one lambda per kind of request.
template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

}  // namespace

WindowsShell::WindowsShell(HINSTANCE instance, int showCommand)
    : instance_(instance), program_(platform::milliseconds(), calendarSeed) {
    HWND window = createMainWindow(instance, this);
    ShowWindow(window, showCommand);
    // Shown without activation, or minimised, the window hears no news of
    // it: the program starts from what the player can really see.
    std::uint32_t now = platform::milliseconds();
    program_.windowActivated(GetActiveWindow() == window && GetForegroundWindow() == window, now);
    program_.windowMinimised(IsIconic(window) != FALSE, now);
    presentation_ = std::make_unique<Presentation>();
    UpdateWindow(window);
    mainWindow_ = window;
}

WindowsShell::~WindowsShell() {
    // Messages that still reach the window go past the shell from now on.
    SetWindowLongPtrA(mainWindow_, GWLP_USERDATA, 0);
}

int WindowsShell::run() {
    MSG message{};
    BOOL loopControl = 1;
    while (loopControl == 1) {
        if (runPass() && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) continue;
        // While the game is held, and without a program to step, there is
        // nothing to pace, so this waits.
        loopControl = GetMessageA(&message, nullptr, 0, 0);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

bool WindowsShell::runPass() {
    while (program_.running()) {
        Step step = program_.step(platform::milliseconds(), {});
        // As the game started them: before the frame they belong to is shown.
        for (int cue : step.cues) platform::playCue(cue);
        if (step.frameRan) {
            // After every frame, drawn or not (a late one shows the last
            // picture again, which also mends what a closed dialog uncovered).
            inOwnPaintCycle_ = true;
            paintCycle(mainWindow_, [&] {
                if (step.drawn) presentation_->takePicture(step.screen);
                presentation_->present();
            });
            inOwnPaintCycle_ = false;
        }
        if (step.request) carryOut(*step.request);
        if (step.frameRan) return true;
        if (program_.held()) return false;
    }
    return false;
}

void WindowsShell::carryOut(const Request& request) {
    std::visit(Overloaded{
                   [&](const ShowPrompt& prompt) {
                       PromptDialog dialog{program_, prompt.text};
                       showDialog(IDD_PROMPT, promptDialogProc, reinterpret_cast<LPARAM>(&dialog));
                   },
                   [&](const ShowInformation& information) {
                       InformationDialog dialog{program_, informationText(information.index)};
                       showDialog(IDD_INFORMATION, informationDialogProc, reinterpret_cast<LPARAM>(&dialog));
                   },
                   [&](const ShowRegistration&) {
                       // A Unicode dialog, so its fields hold any character typed and
                       // the program can refuse what the form cannot carry.
                       showDialog(IDD_REGISTRATION, registrationDialogProc, reinterpret_cast<LPARAM>(&program_),
                                  DialogText::wide);
                   },
                   [&](const OpenAddress& page) {
                       openWebPage(page.address);
                       // Handing the address over may hold the thread for seconds
                       // (starting a browser), a pause like a dialog's.
                       program_.modalLoopEnded(platform::milliseconds());
                   },
                   [&](const QuitProgram&) { quitGame(); },
                   [&](const WaitUntil& wait) { waitUntil(wait.dueTime); },
                   // The pass ends: the main loop waits for the window's news.
                   [&](const WaitWhileHeld&) {},
               },
               request);
}

void WindowsShell::showDialog(int templateId, DLGPROC procedure, LPARAM parameter, DialogText text) {
    if (text == DialogText::wide) {
        DialogBoxParamW(instance_, MAKEINTRESOURCEW(templateId), mainWindow_, procedure, parameter);
    } else {
        DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId), mainWindow_, procedure, parameter);
    }
    program_.modalLoopEnded(platform::milliseconds());
}

void WindowsShell::menuCommand(int commandId) {
    if (auto request = program_.menuCommand(commandId)) carryOut(*request);
}

void WindowsShell::realizePalette() {
    if (presentation_) presentation_->realizePalette();
}

void WindowsShell::windowActivated(bool active) {
    program_.windowActivated(active, platform::milliseconds());
    wakeIfResumed();
}

void WindowsShell::windowMinimised(bool minimised) {
    program_.windowMinimised(minimised, platform::milliseconds());
    wakeIfResumed();
}

void WindowsShell::wakeIfResumed() {
    // The news may have come as a sent message, which does not end the main
    // loop's wait for a message of its own: this one does.
    if (program_.running() && !program_.held()) PostMessageA(nullptr, WM_NULL, 0, 0);
}

void WindowsShell::modalLoopEnded() { program_.modalLoopEnded(platform::milliseconds()); }

void WindowsShell::paint(HWND window) {
    // The cycle validates the window itself, after this message, and a
    // picture shown here would come before the new one.
    if (inOwnPaintCycle_) return;
    // Any other paint message must validate the window, or the system sends
    // it again at once: inside the menu's or a move's modal loop that spins a
    // core. The picture as it was also mends what was uncovered meanwhile.
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    if (presentation_) presentation_->showIn(window);
    EndPaint(window, &paint);
}

void WindowsShell::quitGame() {
    program_.quit();
    presentation_.reset();
    PostQuitMessage(0);
}
