#pragma once
// The registration dialog's decisions, apart from the dialog itself: what the
// dialog does after a submission, on "Avbryt" and on "Ny användare".
#include <string>
#include <string_view>
#include <vector>

#include "net/submission_record.h"

struct RegistrationAction {
    enum Kind {
        OpenPage,         // `page` of the competition site in the browser
        SayTryAgain,      // the OK button reads "Försök igen"
        ReportFailure,    // failedSubmissionMessage in a message box
        ResetBestScore,   // bestScore to 0
        AskPlayAgain,     // the session's askPlayAgain
        ResetFrameClock,  // resetFrameClock
        EndDialog,
    };
    Kind kind;
    std::string page;  // path and query, for OpenPage

    bool operator==(const RegistrationAction&) const = default;
};
using RegistrationActions = std::vector<RegistrationAction>;

// After submitScore, from the record's outcome, in the order to carry out.
// An attempt that was neither accepted nor refused with 1 or 2 says so.
RegistrationActions actionsAfterSubmission(const SubmissionRecord& record, bool gameOver);

RegistrationActions actionsOnCancel(bool gameOver);

RegistrationActions actionsOnNewUser();

// The password page's query for `userName`: letters, digits, '-', '.', '_',
// '~' and '@' as typed, every other byte percent-encoded.
std::string passwordPage(std::string_view userName);
