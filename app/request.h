#pragma once
// What the program asks of its shell before it can go on: a modal dialog to
// show, a web page to open, the end of the program, a wait for the next frame,
// or a wait for the window's news. The shell carries out one request, then
// steps the program again. A dialog's end, whatever its answer, comes back
// through Program::modalLoopEnded.
#include <cstdint>
#include <string>
#include <variant>

#include "app/prompt_answers.h"

// The yes/no prompt with this title and question; the answer comes back
// through Program::answerPrompt.
struct ShowPrompt {
    PromptText text;
};

// The information dialog with text `index` (0 the game rules, 1 the
// competition rules, 2 about Kvippa); its OK comes back through
// Program::closeInformation.
struct ShowInformation {
    int index;
};

// The registration dialog, which talks to the program while it is open.
struct ShowRegistration {};

// Hand `address` to the user's browser; not waited for. Handing it over may
// still hold the shell a while, so its end comes back through
// Program::modalLoopEnded, as a dialog's does.
struct OpenAddress {
    std::string address;
};

// End the program: Program::quit, then whatever the shell must close.
struct QuitProgram {};

// The next frame is due at `dueTime` on the millisecond clock: step again then.
struct WaitUntil {
    std::uint32_t dueTime;
};

// The game is held (the window is minimised or not active): there is nothing
// to do until the window's news come; step again after them.
struct WaitWhileHeld {};

using Request =
    std::variant<ShowPrompt, ShowInformation, ShowRegistration, OpenAddress, QuitProgram, WaitUntil, WaitWhileHeld>;
