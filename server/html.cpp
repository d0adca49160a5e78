#include "server/html.h"

#include <cstdint>
#include <ctime>

Html faultList(const std::vector<std::string>& faults) {
    if (faults.empty()) return {};
    return Template("<ul class=\"fel\">\n{{faults}}</ul>\n")
        .set("faults", joined(faults, [](const std::string& fault) {
                 return Template("<li>{{fault}}</li>\n").set("fault", fault).render();
             }))
        .render();
}

Html inputField(std::string_view label, std::string_view name, std::string_view type, std::string_view value,
                std::size_t maxLength) {
    return Template("<p><label for=\"{{name}}\">{{label}}</label><input id=\"{{name}}\" name=\"{{name}}\" "
                    "type=\"{{type}}\" value=\"{{value}}\" maxlength=\"{{maxLength}}\" required></p>\n")
        .set("label", label)
        .set("name", name)
        .set("type", type)
        .set("value", value)
        .set("maxLength", maxLength)
        .render();
}

Html checkboxField(std::string_view label, std::string_view name, bool checked) {
    return Template("<p><input id=\"{{name}}\" name=\"{{name}}\" type=\"checkbox\" value=\"ja\"{{checked}}> "
                    "<label for=\"{{name}}\" style=\"display:inline\">{{label}}</label></p>\n")
        .set("name", name)
        .set("checked", checked ? Template(" checked").render() : Html())
        .set("label", label)
        .render();
}

namespace {

Html navBar(const NavBar& nav) {
    if (!nav.formToken) {
        return Template("<nav><a href=\"/\">Kvippa</a><a href=\"/reg3.htm\">Bli medlem</a>"
                        "<a href=\"/logga-in.htm\">Logga in</a><a href=\"/getpass.htm\">Glömt lösenordet?</a></nav>\n")
            .render();
    }
    return Template("<nav><a href=\"/\">Kvippa</a><a href=\"/mina-sidor\">Mina sidor</a>"
                    "<form method=\"post\" action=\"/logga-ut.htm\"><input type=\"hidden\" name=\"form\" "
                    "value=\"{{form}}\"><button type=\"submit\">Logga ut</button></form></nav>\n")
        .set("form", *nav.formToken)
        .render();
}

}  // namespace

Html htmlPage(std::string_view title, const Html& body, const NavBar& nav) {
    return Template("<!DOCTYPE html>\n<html lang=\"sv\">\n<head>\n<meta charset=\"utf-8\">\n"
                    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                    "<title>{{title}} – Kvippa</title>\n"
                    "<style>\n"
                    "body { font-family: Verdana, sans-serif; max-width: 44em; margin: 2em auto; padding: 0 1em;"
                    " color: #123; background: #f4f8f0; }\n"
                    "h1 { color: #2a6e2a; } a { color: #1d5fa0; }\n"
                    "table { border-collapse: collapse; } th, td { padding: .25em .8em; text-align: left; }\n"
                    "th { background: #cfe6c8; } td.score, th.score { text-align: right; }\n"
                    "tr:nth-child(even) td { background: #e6f0e2; }\n"
                    "form p { margin: .6em 0; } label { display: block; font-weight: bold; }\n"
                    "input[type=text], input[type=email], input[type=password] { width: 20em; }\n"
                    ".fel { color: #a00; } .klart { color: #060; }\n"
                    "nav a { margin-right: 1em; } nav form { display: inline; }\n"
                    "</style>\n</head>\n<body>\n"
                    "{{nav}}{{body}}\n</body>\n</html>\n")
        .set("title", title)
        .set("nav", navBar(nav))
        .set("body", body)
        .render();
}

HttpAnswer pageAnswer(Outcome outcome, const Html& page) {
    return answerWith(httpStatus(outcome), "text/html; charset=utf-8", page.markup());
}

std::string calendarDate(std::int64_t seconds) {
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}
