#pragma once
// Players signed in on the site, through the handlers of its pages: a
// browser that keeps the session cookie the service set last and sends it
// with every request, on the service fixture.
#include <string>
#include <utility>
#include <vector>

#include "server/account_routes.h"
#include "server/http_exchange.h"
#include "server/signed_in.h"
#include "service_fixture.h"

struct SiteBrowser {
    std::string cookie;  // "zifra_session=..." or empty

    HttpRequest request(const std::string& method, std::vector<std::pair<std::string, std::string>> params = {}) const {
        HttpRequest req;
        req.method = method;
        req.params = std::move(params);
        if (!cookie.empty()) req.headers["cookie"] = "andra=1; " + cookie;
        req.remoteAddress = "192.0.2.7";
        return req;
    }
    // Takes the cookie the answer sets, as a browser would.
    void take(const HttpAnswer& answer) {
        for (const auto& [name, value] : answer.headers) {
            if (name != "Set-Cookie") continue;
            std::string pair = value.substr(0, value.find(';'));
            cookie = pair == "zifra_session=" ? "" : pair;
        }
    }
};

// The value of the answer's header, empty when it has none.
inline std::string headerOf(const HttpAnswer& answer, const std::string& name) {
    for (const auto& [n, value] : answer.headers) {
        if (n == name) return value;
    }
    return "";
}

class SignedInFixture : public ServiceFixture {
protected:
    HttpAnswer signIn(SiteBrowser& browser, const std::string& email, const std::string& password,
                      const std::string& next = "") {
        HttpAnswer answer =
            signInAnswer(*service, browser.request("POST", {{"email", email}, {"password", password}, {"next", next}}));
        browser.take(answer);
        return answer;
    }
    std::optional<Session> session(const SiteBrowser& browser) { return signedIn(*service, browser.request("GET")); }
    // A form of my pages as the page sent it: with the session's own token.
    HttpRequest form(const SiteBrowser& browser, std::vector<std::pair<std::string, std::string>> params) {
        auto own = session(browser);
        params.emplace_back("form", own ? own->formToken : "");
        return browser.request("POST", std::move(params));
    }
};
