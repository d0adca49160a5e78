#include "server/html.h"

#include "server/html_template.h"

#include <cstdint>
#include <ctime>

std::string htmlEscape(std::string_view text) { return escaped(text).markup(); }

std::string faultList(const std::vector<std::string>& faults) {
    if (faults.empty()) return "";
    std::string list = "<ul class=\"fel\">\n";
    for (const std::string& fault : faults) list += "<li>" + htmlEscape(fault) + "</li>\n";
    return list + "</ul>\n";
}

std::string inputField(const std::string& label, const char* name, const char* type, const std::string& value,
                       std::size_t maxLength) {
    return "<p><label for=\"" + std::string(name) + "\">" + label + "</label><input id=\"" + name + "\" name=\"" +
           name + "\" type=\"" + type + "\" value=\"" + htmlEscape(value) + "\" maxlength=\"" +
           std::to_string(maxLength) + "\" required></p>\n";
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

std::string htmlPage(std::string_view title, std::string_view body, const NavBar& nav) {
    std::string page;
    page += "<!DOCTYPE html>\n<html lang=\"sv\">\n<head>\n<meta charset=\"utf-8\">\n";
    page += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    page += "<title>" + htmlEscape(title) + " – Kvippa</title>\n";
    page += "<style>\n"
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
            "</style>\n</head>\n<body>\n";
    page += navBar(nav).markup();
    page += body;
    page += "\n</body>\n</html>\n";
    return page;
}

std::string calendarDate(std::int64_t seconds) {
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}
