#pragma once
// What came of a call on the service, in the words that its pages and its
// API share. Each call answers with an Outcome (and what it made); the one
// place where an Outcome becomes an HTTP status is httpStatus.
#include <string>
#include <vector>

enum class Outcome {
    done,          // it is done, or here is what was asked for
    accepted,      // taken, to be decided later
    faulty,        // what was sent has faults, which are told
    refused,       // what was sent is well formed, and not taken for what it says
    signInNeeded,  // only a signed-in player may do this
    wrongSignIn,   // the e-mail address or the password is wrong (never told which)
    forbidden,     // this player, or this page, may not do this
    notFound,      // there is no such thing
    conflict,      // it was done already, or clashes with what is
    gone,          // a link that no longer works
    tooMany,       // too many of these lately; try again later
    busy,          // the service cannot do it now; try again soon
};

int httpStatus(Outcome outcome);

// An outcome with the faults of a form, in Swedish, for faulty.
struct FormOutcome {
    Outcome outcome = Outcome::done;
    std::vector<std::string> faults;

    static FormOutcome with(std::vector<std::string> faults) {
        return {faults.empty() ? Outcome::done : Outcome::faulty, std::move(faults)};
    }
};
