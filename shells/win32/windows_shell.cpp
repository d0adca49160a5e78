#include "shells/win32/windows_shell.h"

#include <variant>

#include "app/information_texts.h"
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
    : instance_(instance), program_(platform::milliseconds()) {
    HWND window = createMainWindow(instance, this);
    ShowWindow(window, showCommand);
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
        if (program_.running()) {
            runPass();
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) continue;
        }
        // Without a program to step there is nothing to pace, so this waits.
        loopControl = GetMessageA(&message, nullptr, 0, 0);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void WindowsShell::runPass() {
    while (program_.running()) {
        Step step = program_.step(platform::milliseconds(), keys_);
        keys_.clear();
        if (step.frameRan) {
            // After every frame, drawn or not (a late one shows the last
            // picture again, which also mends what a closed dialog uncovered).
            paintCycle(mainWindow_, [&] {
                if (step.drawn) presentation_->takePicture(step.screen);
                presentation_->present();
            });
            // Down now, or pressed since the last poll.
            if (GetAsyncKeyState(VK_F1) & 0x8001) keys_.push_back({GameKey::newGame, true});
        }
        if (step.request) carryOut(*step.request);
        if (step.frameRan) return;
    }
}

void WindowsShell::carryOut(const Request& request) {
    std::visit(Overloaded{
                   [&](const ShowPrompt& prompt) {
                       PromptDialog dialog{program_, prompt.text};
                       DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_PROMPT), mainWindow_, promptDialogProc,
                                       reinterpret_cast<LPARAM>(&dialog));
                   },
                   [&](const ShowInformation& information) {
                       InformationDialog dialog{program_, informationText(information.index)};
                       DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_INFORMATION), mainWindow_,
                                       informationDialogProc, reinterpret_cast<LPARAM>(&dialog));
                   },
                   [&](const ShowRegistration&) {
                       DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_REGISTRATION), mainWindow_,
                                       registrationDialogProc, reinterpret_cast<LPARAM>(&program_));
                   },
                   [&](const OpenAddress& page) { openWebPage(page.address); },
                   [&](const QuitProgram&) { quitGame(); },
                   [&](const WaitUntil& wait) { waitUntil(wait.dueTime); },
               },
               request);
}

void WindowsShell::menuCommand(int commandId) {
    if (auto request = program_.menuCommand(commandId)) carryOut(*request);
}

void WindowsShell::realizePalette() {
    if (presentation_) presentation_->realizePalette();
}

void WindowsShell::quitGame() {
    program_.quit();
    presentation_.reset();
    PostQuitMessage(0);
}
