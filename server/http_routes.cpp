#include "server/http_routes.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "server/api_routes.h"
#include "server/html.h"
#include "server/pages.h"
#include "server/text_encoding.h"

namespace {

constexpr char htmlType[] = "text/html; charset=utf-8";

void sendPage(httplib::Response& res, const std::string& page, int status = 200) {
    res.status = status;
    res.set_content(page, htmlType);
}

std::optional<std::int64_t> decimalParam(const httplib::Request& req, const char* name) {
    std::string text = req.get_param_value(name);
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
std::string siteOf(const httplib::Request& req) {
    std::string host = req.get_header_value("Host");
    if (host.empty() || !std::all_of(host.begin(), host.end(), hostNameCharacter)) {
        host = req.local_addr + ":" + std::to_string(req.local_port);
    }
    return "http://" + host;
}

// Forms change something only when sent from the service's own pages: a
// browser names the page's origin, and a form posted from elsewhere is
// turned away. (No cookie ever grants anything here, so this is all a
// forged form could exploit.)
bool fromOwnPage(const httplib::Request& req) {
    std::string site = siteOf(req);
    std::string origin = req.get_header_value("Origin");
    if (!origin.empty()) return origin == site || origin == "https" + site.substr(4);
    std::string referer = req.get_header_value("Referer");
    if (referer.empty()) return true;
    for (const std::string& own : {site, "https" + site.substr(4)}) {
        if (referer == own || referer.rfind(own + "/", 0) == 0) return true;
    }
    return false;
}

std::vector<TopList> allTopLists(CompetitionService& service) {
    std::vector<TopList> lists;
    for (const Game& game : knownGames) lists.push_back({&game, service.topTen(game.id)});
    return lists;
}

}  // namespace

std::string submissionAnswerText(const SubmissionAnswer& answer, std::int32_t version) {
    std::string text = cp1252FromUtf8(answer.text).value_or("");
    std::string all = std::to_string(answerNumber(answer.code)) + "\r\n" + std::to_string(version) + "\r\n" + text +
                      "\r\n";
    return all.substr(0, maxSubmissionAnswer);
}

void addRoutes(httplib::Server& server, CompetitionService& service) {
    server.Post("/r0002.asp", [&service](const httplib::Request& req, httplib::Response& res) {
        SubmissionAnswer answer = service.submit(req.body);
        res.status = answer.code == AnswerCode::unavailable ? 503 : 200;
        res.set_content(submissionAnswerText(answer, service.version()), "text/plain; charset=windows-1252");
    });

    auto start = [&service](const httplib::Request&, httplib::Response& res) {
        sendPage(res, startPage(allTopLists(service), service.webGame().has_value()));
    };
    server.Get("/", start);
    server.Get("/index2.htm", start);

    server.Get("/reg3.htm", [](const httplib::Request&, httplib::Response& res) {
        sendPage(res, signUpPage({}, {}, false));
    });
    server.Post("/reg3.htm", [&service](const httplib::Request& req, httplib::Response& res) {
        if (!fromOwnPage(req)) return sendPage(res, forbiddenPage(), 403);
        SignUpForm form{req.get_param_value("email"), req.get_param_value("nickname"), req.get_param_value("password"),
                        req.get_param_value("repeated")};
        auto faults = service.signUp(form);
        sendPage(res, signUpPage(form, faults, faults.empty()), faults.empty() ? 200 : 400);
    });

    server.Get("/reg2.htm", [](const httplib::Request&, httplib::Response& res) { sendPage(res, notSignedUpPage()); });

    // The game percent-encodes every byte of the user name in its code page
    // 1252 but unreserved characters and "@", so a name with å, ä or ö comes
    // as bytes that are not UTF-8; a browser's link comes in UTF-8.
    server.Get("/getpass.htm", [](const httplib::Request& req, httplib::Response& res) {
        std::string mail = req.get_param_value("mail");
        sendPage(res, passwordHelpPage(isUtf8(mail) ? mail : utf8FromCp1252(mail), false));
    });
    server.Post("/getpass.htm", [&service](const httplib::Request& req, httplib::Response& res) {
        if (!fromOwnPage(req)) return sendPage(res, forbiddenPage(), 403);
        std::string mail = req.get_param_value("mail");
        service.requestPasswordReset(mail);
        sendPage(res, passwordHelpPage(mail, true));
    });

    server.Get("/reset.htm", [&service](const httplib::Request& req, httplib::Response& res) {
        std::string token = req.get_param_value("token");
        bool works = service.resetLinkWorks(token);
        sendPage(res, resetPage(token, works ? ResetStep::choose : ResetStep::deadLink, {}), works ? 200 : 410);
    });
    server.Post("/reset.htm", [&service](const httplib::Request& req, httplib::Response& res) {
        if (!fromOwnPage(req)) return sendPage(res, forbiddenPage(), 403);
        std::string token = req.get_param_value("token");
        if (!service.resetLinkWorks(token)) return sendPage(res, resetPage(token, ResetStep::deadLink, {}), 410);
        auto faults = service.resetPassword(token, req.get_param_value("password"), req.get_param_value("repeated"));
        if (faults.empty()) return sendPage(res, resetPage(token, ResetStep::done, {}));
        sendPage(res, resetPage(token, ResetStep::faulty, faults), 400);
    });

    server.Get("/version.htm", [&service](const httplib::Request& req, httplib::Response& res) {
        auto version = decimalParam(req, "gameid");
        if (!version) return sendPage(res, notFoundPage(), 404);
        bool known = *version >= 1 && *version <= service.version();
        sendPage(res, versionPage(*version, service.version()), known ? 200 : 404);
    });

    addApiRoutes(server, service);

    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        // An answer of its own (the JSON interface's) is kept.
        if (res.status == 404 && res.body.empty()) res.set_content(notFoundPage(), htmlType);
    });
    server.set_exception_handler([](const httplib::Request& req, httplib::Response& res, std::exception_ptr error) {
        std::string what = "unknown fault";
        bool busy = false;
        try {
            std::rethrow_exception(error);
        } catch (const HashingBusy& e) {
            what = e.what();
            busy = true;
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        std::fprintf(stderr, "zifra-server: %s %s: %s\n", req.method.c_str(), req.path.c_str(), what.c_str());
        if (busy) {
            res.status = 503;
            return res.set_content(htmlPage("Upptaget", "<h1>Många vill in just nu</h1>\n<p>Tjänsten hinner inte "
                                                        "med dig just nu. Försök igen om en stund.</p>\n"),
                                   htmlType);
        }
        res.status = 500;
        res.set_content(htmlPage("Fel", "<h1>Något gick fel</h1>\n<p>Försök igen om en stund.</p>\n"), htmlType);
    });
}
