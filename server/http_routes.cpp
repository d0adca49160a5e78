#include "server/http_routes.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "server/api_routes.h"
#include "server/browser_safety.h"
#include "server/download_files.h"
#include "server/contest_routes.h"
#include "server/html.h"
#include "server/metrics.h"
#include "server/pages.h"
#include "server/text_encoding.h"
#include "server/web_game_files.h"

namespace {

constexpr char htmlType[] = "text/html; charset=utf-8";

HttpAnswer page(const Html& html, int status = 200) { return answerWith(status, htmlType, html.markup()); }

std::optional<std::int64_t> decimalParam(const HttpRequest& req, const char* name) {
    std::string text = req.param(name);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool hostNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
           c == ':' || c == '[' || c == ']';
}

// The address the browser reached the service by, to tell the service's own
// pages from others. Behind a proxy the proxy must pass the public host
// name (see the README).
std::string siteOf(const HttpRequest& req) {
    std::string host = req.header("Host");
    if (host.empty() || !std::all_of(host.begin(), host.end(), hostNameCharacter)) host = req.localAddress;
    return "http://" + host;
}

// Forms change something only when sent from the service's own pages: a
// browser names the page's origin, and a form posted from elsewhere is
// turned away. (No cookie ever grants anything here, so this is all a
// forged form could exploit.)
bool fromOwnPage(const HttpRequest& req) {
    std::string site = siteOf(req);
    std::string origin = req.header("Origin");
    if (!origin.empty()) return origin == site || origin == "https" + site.substr(4);
    std::string referer = req.header("Referer");
    if (referer.empty()) return true;
    for (const std::string& own : {site, "https" + site.substr(4)}) {
        if (referer == own || referer.rfind(own + "/", 0) == 0) return true;
    }
    return false;
}

HttpAnswer busyPage() {
    return page(htmlPage("Upptaget", Template("<h1>Många vill in just nu</h1>\n<p>Tjänsten hinner inte med dig just "
                                              "nu. Försök igen om en stund.</p>\n")
                                         .render()),
                503);
}

HttpAnswer faultPage() {
    return page(htmlPage("Fel", Template("<h1>Något gick fel</h1>\n<p>Försök igen om en stund.</p>\n").render()), 500);
}

// The handler, with a service that cannot do it now answered as busy and
// any other failure as a fault, each logged.
Handler guarded(Handler handle) {
    return [handle = std::move(handle)](const HttpRequest& req) {
        std::string what = "unknown fault";
        bool busy = false;
        try {
            return handle(req);
        } catch (const HashingBusy& e) {
            what = e.what();
            busy = true;
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        std::fprintf(stderr, "zifra-server: %s %s: %s\n", req.method.c_str(), req.path.c_str(), what.c_str());
        return busy ? busyPage() : faultPage();
    };
}

// The page of a request refused before any handler.
HttpAnswer refusalPage(int status) {
    switch (status) {
        case 404: return page(notFoundPage(), 404);
        case 503: return busyPage();
        case 413:
            return page(htmlPage("För stort", Template("<h1>För mycket på en gång</h1>\n<p>Det du skickade är större "
                                                       "än tjänsten tar emot.</p>\n")
                                                  .render()),
                        413);
        case 415:
            return page(htmlPage("Okänt format", Template("<h1>Okänt format</h1>\n<p>Tjänsten tar bara emot opackade "
                                                          "formulär.</p>\n")
                                                     .render()),
                        415);
        default: return faultPage();
    }
}

}  // namespace

std::string submissionAnswerText(const SubmissionAnswer& answer, std::int32_t version) {
    std::string text = cp1252FromUtf8(answer.text).value_or("");
    std::string all = std::to_string(answerNumber(answer.code)) + "\r\n" + std::to_string(version) + "\r\n" + text +
                      "\r\n";
    return all.substr(0, maxSubmissionAnswer);
}

RouteTable competitionRoutes(CompetitionService& service) {
    RouteTable routes;
    // Pages that carry a reset token or a player's address are not kept.
    auto add = [&routes](const char* method, const char* path, const char* name, Work work, Handler handle,
                         Keeping keeping = Keeping::mayCache, std::size_t bodyBytes = 0,
                         Scripts scripts = Scripts::none) {
        routes.add({method, path, name, work,
                    [handle = guarded(std::move(handle)), keeping, scripts](const HttpRequest& req) {
                        HttpAnswer answer = handle(req);
                        addSafetyHeaders(answer, keeping, scripts);
                        return answer;
                    },
                    bodyBytes});
    };

    add("POST", "/r0002.asp", "submit", Work::hashing, [&service](const HttpRequest& req) {
        SubmissionAnswer answer = service.submit(req.body, req.remoteAddress);
        serviceMetrics().answered(answer.code);
        return answerWith(answer.code == AnswerCode::unavailable ? 503 : 200, "text/plain; charset=windows-1252",
                          submissionAnswerText(answer, service.version()));
    });

    auto start = [&service](const HttpRequest&) { return startPageAnswer(service); };
    add("GET", "/", "start", Work::quick, start);
    add("GET", "/index2.htm", "start", Work::quick, start);
    add("GET", "/vinnare.htm", "winners", Work::quick, [&service](const HttpRequest&) {
        return winnersPageAnswer(service);
    });
    // A winner's claim and a subscription's end carry a token in the address.
    add("GET", "/vinst.htm", "claim_form", Work::quick, [&service](const HttpRequest& req) {
        return claimFormAnswer(service, req.param("token"));
    }, Keeping::noStore);
    add("POST", "/vinst.htm", "claim", Work::quick, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return page(forbiddenPage(), 403);
        return claimAnswer(service, req.param("token"),
                           {req.param("fullname"), req.param("address"), req.param("sweden") == "ja"});
    }, Keeping::noStore);
    add("GET", "/avsluta.htm", "unsubscribe_form", Work::quick, [&service](const HttpRequest& req) {
        return unsubscribeFormAnswer(service, req.param("token"));
    }, Keeping::noStore);
    // Taken from anywhere: a mail program posts the one click itself, and
    // the token is the whole of the authority.
    add("POST", "/avsluta.htm", "unsubscribe", Work::quick, [&service](const HttpRequest& req) {
        return unsubscribeAnswer(service, req.param("token"));
    }, Keeping::noStore);

    add("GET", "/reg3.htm", "signup_form", Work::quick, [](const HttpRequest&) { return page(signUpPage({}, {}, false)); });
    add("POST", "/reg3.htm", "signup", Work::hashing, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return page(forbiddenPage(), 403);
        SignUpForm form{req.param("email"),    req.param("nickname"),          req.param("password"),
                        req.param("repeated"), req.param("news") == "ja", req.param("referrer")};
        auto faults = service.signUp(form, req.remoteAddress);
        return page(signUpPage(form, faults, faults.empty()), faults.empty() ? 200 : 400);
    }, Keeping::noStore);

    add("GET", "/reg2.htm", "not_signed_up", Work::quick, [](const HttpRequest&) { return page(notSignedUpPage()); });

    // The game percent-encodes every byte of the user name in its code page
    // 1252 but unreserved characters and "@", so a name with å, ä or ö comes
    // as bytes that are not UTF-8; a browser's link comes in UTF-8.
    add("GET", "/getpass.htm", "password_help_form", Work::quick, [](const HttpRequest& req) {
        std::string mail = req.param("mail");
        return page(passwordHelpPage(isUtf8(mail) ? mail : utf8FromCp1252(mail), false));
    }, Keeping::noStore);
    add("POST", "/getpass.htm", "password_help", Work::quick, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return page(forbiddenPage(), 403);
        std::string mail = req.param("mail");
        service.requestPasswordReset(mail);
        return page(passwordHelpPage(mail, true));
    }, Keeping::noStore);

    add("GET", "/reset.htm", "reset_form", Work::quick, [&service](const HttpRequest& req) {
        std::string token = req.param("token");
        bool works = service.resetLinkWorks(token);
        return page(resetPage(token, works ? ResetStep::choose : ResetStep::deadLink, {}), works ? 200 : 410);
    }, Keeping::noStore);
    add("POST", "/reset.htm", "reset", Work::hashing, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return page(forbiddenPage(), 403);
        std::string token = req.param("token");
        if (!service.resetLinkWorks(token)) return page(resetPage(token, ResetStep::deadLink, {}), 410);
        auto faults = service.resetPassword(token, req.param("password"), req.param("repeated"));
        if (faults.empty()) return page(resetPage(token, ResetStep::done, {}));
        return page(resetPage(token, ResetStep::faulty, faults), 400);
    }, Keeping::noStore);

    // The link asks before it confirms: a mail scanner that follows every
    // link would otherwise confirm for someone who never asked.
    add("GET", "/confirm.htm", "confirm_form", Work::quick, [&service](const HttpRequest& req) {
        std::string token = req.param("token");
        bool works = service.confirmLinkWorks(token);
        return page(confirmPage(token, works ? ConfirmStep::ask : ConfirmStep::deadLink), works ? 200 : 410);
    }, Keeping::noStore);
    add("POST", "/confirm.htm", "confirm", Work::quick, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return page(forbiddenPage(), 403);
        bool done = service.confirmEmail(req.param("token"));
        return page(confirmPage("", done ? ConfirmStep::done : ConfirmStep::deadLink), done ? 200 : 410);
    }, Keeping::noStore);

    add("GET", "/version.htm", "version", Work::quick, [&service](const HttpRequest& req) {
        auto version = decimalParam(req, "gameid");
        if (!version) return page(notFoundPage(), 404);
        bool known = *version >= 1 && *version <= service.version();
        return page(versionPage(*version, service.version()), known ? 200 : 404);
    });

    add("GET", "/api/top", "top_list", Work::quick, [&service](const HttpRequest& req) {
        return topListAnswer(service, req.param("gameid"), req.param("period"));
    });
    add("GET", "/api/collective", "collective", Work::quick, [&service](const HttpRequest& req) {
        return collectiveAnswer(service, req.param("period"));
    });

    // Tickets check passwords; replays come as their bytes, up to their own limit.
    add("POST", "/api/v1/games", "ticket", Work::hashing, [&service](const HttpRequest& req) {
        return ticketAnswer(service, req.body, req.remoteAddress);
    }, Keeping::noStore);
    add("POST", "/api/v1/scores", "replay_upload", Work::quick, [&service](const HttpRequest& req) {
        auto bytes = reinterpret_cast<const std::uint8_t*>(req.body.data());
        return replaySubmissionAnswer(service, std::span(bytes, req.body.size()));
    }, Keeping::noStore, maxReplayBody);
    add("GET", "/api/v1/scores/", "score", Work::quick, [&service](const HttpRequest& req) {
        return scoreAnswer(service, std::string_view(req.path).substr(std::string_view("/api/v1/scores/").size()));
    }, Keeping::noStore);

    add("GET", "/download/", "download", Work::quick, [](const HttpRequest& req) {
        auto file = downloadAnswer("download", std::string_view(req.path).substr(std::string_view("/download/").size()));
        return file ? std::move(*file) : page(notFoundPage(), 404);
    });

    if (service.webGame()) {
        // The page's own addresses are relative: without the slash they would
        // miss the folder.
        add("GET", "/spela", "web_game", Work::quick, [](const HttpRequest&) {
            HttpAnswer answer = answerWith(301, htmlType, "");
            answer.headers.emplace_back("Location", webGameAddress);
            return answer;
        });
        add("GET", webGameAddress, "web_game", Work::quick, [folder = *service.webGame()](const HttpRequest& req) {
            FileAnswer file = webGameFile(folder, std::string_view(req.path).substr(std::string_view(webGameAddress).size()),
                                          req.header("If-None-Match"));
            if (file.status == 404) return page(notFoundPage(), 404);
            HttpAnswer answer = answerWith(file.status, file.contentType, std::move(file.body));
            answer.headers.emplace_back("Cache-Control", file.cacheControl);
            answer.headers.emplace_back("ETag", file.etag);
            return answer;
        }, Keeping::mayCache, 0, Scripts::webGame);
    }

    routes.setRefusal([](int status) {
        HttpAnswer answer = refusalPage(status);
        addSafetyHeaders(answer, Keeping::mayCache);
        return answer;
    });
    return routes;
}
