#include "server/http_routes.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "server/account_routes.h"
#include "server/api_routes.h"
#include "server/browser_safety.h"
#include "server/challenge_routes.h"
#include "server/download_files.h"
#include "server/contest_routes.h"
#include "server/html.h"
#include "server/metrics.h"
#include "server/pages.h"
#include "server/text_encoding.h"
#include "server/web_game_files.h"

namespace {

constexpr char htmlType[] = "text/html; charset=utf-8";
constexpr char scoresAddress[] = "/api/v1/scores/";

// A page with a status of the HTTP layer's own: a request refused before
// any handler, or a fault no call answered.
HttpAnswer refusal(int status, const Html& html) { return answerWith(status, htmlType, html.markup()); }

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
// turned away. A signed-in player's forms carry the session's form token
// besides (signed_in.h), which no other site can know.
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
    return pageAnswer(Outcome::busy, htmlPage("Upptaget", Template("<h1>Många vill in just nu</h1>\n<p>Tjänsten hinner "
                                                                   "inte med dig just nu. Försök igen om en "
                                                                   "stund.</p>\n")
                                                              .render()));
}

HttpAnswer faultPage() {
    return refusal(500,
                   htmlPage("Fel", Template("<h1>Något gick fel</h1>\n<p>Försök igen om en stund.</p>\n").render()));
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
        case 404: return refusal(404, notFoundPage());
        case 503: return busyPage();
        case 413:
            return refusal(413, htmlPage("För stort", Template("<h1>För mycket på en gång</h1>\n<p>Det du skickade är "
                                                               "större än tjänsten tar emot.</p>\n")
                                                          .render()));
        case 415:
            return refusal(415, htmlPage("Okänt format", Template("<h1>Okänt format</h1>\n<p>Tjänsten tar bara emot "
                                                                  "opackade formulär.</p>\n")
                                                             .render()));
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
        // The game reads the answer's code; the status only tells a proxy to
        // leave a busy service alone.
        Outcome outcome = answer.code == AnswerCode::unavailable ? Outcome::busy : Outcome::done;
        return answerWith(httpStatus(outcome), "text/plain; charset=windows-1252",
                          submissionAnswerText(answer, service.version()));
    });

    add("GET", "/", "start", Work::quick, [&service](const HttpRequest&) { return startPageAnswer(service); });
    // "Utmana dina vänner", for the signed-in player its form.
    add("GET", "/index2.htm", "challenge_form", Work::quick, [&service](const HttpRequest& req) {
        return challengePageAnswer(service, req);
    }, Keeping::noStore);
    add("POST", "/index2.htm", "challenge", Work::quick, [&service](const HttpRequest& req) {
        return challengeAnswer(service, req);
    }, Keeping::noStore);
    add("GET", "/vinnare.htm", "winners", Work::quick, [&service](const HttpRequest&) {
        return winnersPageAnswer(service);
    });
    // A winner's claim and a subscription's end carry a token in the address.
    add("GET", "/vinst.htm", "claim_form", Work::quick, [&service](const HttpRequest& req) {
        return claimFormAnswer(service, req.param("token"));
    }, Keeping::noStore);
    add("POST", "/vinst.htm", "claim", Work::quick, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return pageAnswer(Outcome::forbidden, forbiddenPage());
        return claimAnswer(service, req.param("token"),
                           {req.param("fullname"), req.param("address"), req.param("sweden") == "ja"});
    }, Keeping::noStore);
    // A news subscription's link or an address's no-more-mail link.
    add("GET", "/avsluta.htm", "unsubscribe_form", Work::quick, [&service](const HttpRequest& req) {
        return stopMailFormAnswer(service, req.param("token"));
    }, Keeping::noStore);
    // Taken from anywhere: a mail program posts the one click itself, and
    // the token is the whole of the authority.
    add("POST", "/avsluta.htm", "unsubscribe", Work::quick, [&service](const HttpRequest& req) {
        return stopMailAnswer(service, req.param("token"));
    }, Keeping::noStore);

    // The form of a challenge link carries its token.
    add("GET", "/reg3.htm", "signup_form", Work::quick, [&service](const HttpRequest& req) {
        return challengeSignUpFormAnswer(service, req.param("utmaning"));
    }, Keeping::noStore);
    add("POST", "/reg3.htm", "signup", Work::hashing, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return pageAnswer(Outcome::forbidden, forbiddenPage());
        SignUpForm form{req.param("email"),    req.param("nickname"),      req.param("password"),
                        req.param("repeated"), req.param("news") == "ja", req.param("referrer"),
                        req.param("challenge")};
        FormOutcome signedUp = service.signUp(form, req.remoteAddress);
        return pageAnswer(signedUp.outcome, signUpPage(form, signedUp.faults, signedUp.outcome == Outcome::done));
    }, Keeping::noStore);

    // Signed-in pages carry a form token and the player's own details.
    add("GET", "/logga-in.htm", "sign_in_form", Work::quick, [&service](const HttpRequest& req) {
        return signInFormAnswer(service, req);
    }, Keeping::noStore);
    add("POST", "/logga-in.htm", "sign_in", Work::hashing, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return pageAnswer(Outcome::forbidden, forbiddenPage());
        return signInAnswer(service, req);
    }, Keeping::noStore);
    add("POST", "/logga-ut.htm", "sign_out", Work::quick, [&service](const HttpRequest& req) {
        return signOutAnswer(service, req);
    }, Keeping::noStore);
    add("GET", "/mina-sidor", "my_page", Work::quick, [&service](const HttpRequest& req) {
        return myPageAnswer(service, req);
    }, Keeping::noStore);
    add("GET", "/mina-sidor/data.json", "my_data", Work::quick, [&service](const HttpRequest& req) {
        return myDataAnswer(service, req);
    }, Keeping::noStore);
    add("POST", "/mina-sidor/smeknamn", "nickname_change", Work::quick, [&service](const HttpRequest& req) {
        return nicknameChangeAnswer(service, req);
    }, Keeping::noStore);
    add("POST", "/mina-sidor/epost", "email_change_request", Work::hashing, [&service](const HttpRequest& req) {
        return emailChangeRequestAnswer(service, req);
    }, Keeping::noStore);
    add("POST", "/mina-sidor/losenord", "password_change", Work::hashing, [&service](const HttpRequest& req) {
        return passwordChangeAnswer(service, req);
    }, Keeping::noStore);
    add("POST", "/mina-sidor/nyheter", "news_choice", Work::quick, [&service](const HttpRequest& req) {
        return newsChoiceAnswer(service, req);
    }, Keeping::noStore);
    add("POST", "/mina-sidor/radera", "account_deletion", Work::hashing, [&service](const HttpRequest& req) {
        return accountDeletionAnswer(service, req);
    }, Keeping::noStore);
    // The link of an e-mail change carries the whole of its authority, as
    // the sign-up's confirmation link does.
    add("GET", "/mina-sidor/ny-epost", "email_change_form", Work::quick, [&service](const HttpRequest& req) {
        return emailChangeFormAnswer(service, req);
    }, Keeping::noStore);
    add("POST", "/mina-sidor/ny-epost", "email_change", Work::quick, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return pageAnswer(Outcome::forbidden, forbiddenPage());
        return emailChangeAnswer(service, req);
    }, Keeping::noStore);

    add("GET", "/reg2.htm", "not_signed_up", Work::quick, [](const HttpRequest&) {
        return pageAnswer(Outcome::done, notSignedUpPage());
    });

    // The game percent-encodes every byte of the user name in its code page
    // 1252 but unreserved characters and "@", so a name with å, ä or ö comes
    // as bytes that are not UTF-8; a browser's link comes in UTF-8.
    add("GET", "/getpass.htm", "password_help_form", Work::quick, [](const HttpRequest& req) {
        std::string mail = req.param("mail");
        return pageAnswer(Outcome::done, passwordHelpPage(isUtf8(mail) ? mail : utf8FromCp1252(mail), false));
    }, Keeping::noStore);
    add("POST", "/getpass.htm", "password_help", Work::quick, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return pageAnswer(Outcome::forbidden, forbiddenPage());
        std::string mail = req.param("mail");
        // Done either way: the page never tells whether the address is known.
        service.requestPasswordReset(mail);
        return pageAnswer(Outcome::done, passwordHelpPage(mail, true));
    }, Keeping::noStore);

    add("GET", "/reset.htm", "reset_form", Work::quick, [&service](const HttpRequest& req) {
        std::string token = req.param("token");
        Outcome link = service.resetLink(token);
        return pageAnswer(link, resetPage(token, link == Outcome::done ? ResetStep::choose : ResetStep::deadLink, {}));
    }, Keeping::noStore);
    add("POST", "/reset.htm", "reset", Work::hashing, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return pageAnswer(Outcome::forbidden, forbiddenPage());
        std::string token = req.param("token");
        // A dead link is told before the form's faults.
        if (Outcome link = service.resetLink(token); link != Outcome::done) {
            return pageAnswer(link, resetPage(token, ResetStep::deadLink, {}));
        }
        FormOutcome reset = service.resetPassword(token, req.param("password"), req.param("repeated"));
        switch (reset.outcome) {
            case Outcome::done: return pageAnswer(reset.outcome, resetPage(token, ResetStep::done, {}));
            case Outcome::gone: return pageAnswer(reset.outcome, resetPage(token, ResetStep::deadLink, {}));
            default: return pageAnswer(reset.outcome, resetPage(token, ResetStep::faulty, reset.faults));
        }
    }, Keeping::noStore);

    // The link asks before it confirms: a mail scanner that follows every
    // link would otherwise confirm for someone who never asked.
    add("GET", "/confirm.htm", "confirm_form", Work::quick, [&service](const HttpRequest& req) {
        std::string token = req.param("token");
        Outcome link = service.confirmLink(token);
        return pageAnswer(link, confirmPage(token, link == Outcome::done ? ConfirmStep::ask : ConfirmStep::deadLink));
    }, Keeping::noStore);
    add("POST", "/confirm.htm", "confirm", Work::quick, [&service](const HttpRequest& req) {
        if (!fromOwnPage(req)) return pageAnswer(Outcome::forbidden, forbiddenPage());
        Outcome confirmed = service.confirmEmail(req.param("token"));
        return pageAnswer(confirmed,
                          confirmPage("", confirmed == Outcome::done ? ConfirmStep::done : ConfirmStep::deadLink));
    }, Keeping::noStore);

    add("GET", "/version.htm", "version", Work::quick, [&service](const HttpRequest& req) {
        auto version = decimalParam(req, "gameid");
        if (!version) return pageAnswer(Outcome::notFound, notFoundPage());
        Outcome known = service.hasVersion(*version);
        return pageAnswer(known, versionPage(*version, service.version(), known));
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
    // The download first: the state's route takes whatever else follows.
    add("GET", "/api/v1/scores/*/replay", "replay_download", Work::quick, [&service](const HttpRequest& req) {
        std::string_view id = std::string_view(req.path).substr(std::string_view(scoresAddress).size());
        return verifiedReplayAnswer(service, id.substr(0, id.find('/')));
    }, Keeping::noStore);
    add("GET", scoresAddress, "score", Work::quick, [&service](const HttpRequest& req) {
        return scoreAnswer(service, std::string_view(req.path).substr(std::string_view(scoresAddress).size()));
    }, Keeping::noStore);

    add("GET", "/download/", "download", Work::quick, [](const HttpRequest& req) {
        auto file = downloadAnswer("download", std::string_view(req.path).substr(std::string_view("/download/").size()));
        return file ? std::move(*file) : pageAnswer(Outcome::notFound, notFoundPage());
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
            if (file.status == 404) return pageAnswer(Outcome::notFound, notFoundPage());
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
