#include "server/browser_safety.h"

void addSafetyHeaders(HttpAnswer& answer, Keeping keeping) {
    // The pages have their style inline and no script; forms go to the service alone.
    answer.headers.emplace_back("Content-Security-Policy",
                                "default-src 'none'; style-src 'unsafe-inline'; img-src 'self'; form-action 'self'; "
                                "frame-ancestors 'none'; base-uri 'none'");
    answer.headers.emplace_back("X-Frame-Options", "DENY");
    answer.headers.emplace_back("X-Content-Type-Options", "nosniff");
    // Not no-referrer: a browser then sends "Origin: null" with a form, and
    // forms are taken only from the service's own origin.
    answer.headers.emplace_back("Referrer-Policy", "same-origin");
    if (keeping == Keeping::noStore) answer.headers.emplace_back("Cache-Control", "no-store");
}
