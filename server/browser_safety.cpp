#include "server/browser_safety.h"

void addSafetyHeaders(HttpAnswer& answer, Keeping keeping, Scripts scripts) {
    if (scripts == Scripts::webGame) {
        // The game's page loads its modules and style sheet from here, fetches
        // its module's bytes, tickets and score posts from here, and compiles
        // the module from those bytes ('wasm-unsafe-eval' allows WebAssembly
        // compilation and nothing else that eval does); its icon is "data:,".
        answer.headers.emplace_back("Content-Security-Policy",
                                    "default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; connect-src 'self'; "
                                    "style-src 'self'; img-src 'self' data:; form-action 'self'; "
                                    "frame-ancestors 'none'; base-uri 'none'");
    } else {
        // The pages have their style inline and no script; forms go to the service alone.
        answer.headers.emplace_back("Content-Security-Policy",
                                    "default-src 'none'; style-src 'unsafe-inline'; img-src 'self'; form-action 'self'; "
                                    "frame-ancestors 'none'; base-uri 'none'");
    }
    answer.headers.emplace_back("X-Frame-Options", "DENY");
    answer.headers.emplace_back("X-Content-Type-Options", "nosniff");
    // Not no-referrer: a browser then sends "Origin: null" with a form, and
    // forms are taken only from the service's own origin.
    answer.headers.emplace_back("Referrer-Policy", "same-origin");
    if (keeping == Keeping::noStore) answer.headers.emplace_back("Cache-Control", "no-store");
}
