#include "server/outcome.h"

int httpStatus(Outcome outcome) {
    switch (outcome) {
        case Outcome::done: return 200;
        case Outcome::accepted: return 202;
        case Outcome::faulty: return 400;
        case Outcome::refused: return 422;
        // A page asks the player to sign in; 401 would want an HTTP
        // authentication scheme, which the site does not use.
        case Outcome::signInNeeded: return 403;
        // The JSON interface's answer to a wrong password, which the browser
        // game reads; a page shows its form again instead.
        case Outcome::wrongSignIn: return 401;
        case Outcome::forbidden: return 403;
        case Outcome::notFound: return 404;
        case Outcome::conflict: return 409;
        case Outcome::gone: return 410;
        case Outcome::tooMany: return 429;
        case Outcome::busy: return 503;
    }
    return 500;
}
