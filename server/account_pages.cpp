#include "server/account_pages.h"

#include "net/field_limits.h"

namespace {

Html faultLine(const std::string& fault) {
    if (fault.empty()) return {};
    return Template("<p class=\"fel\">{{fault}}</p>\n").set("fault", fault).render();
}

}  // namespace

Html signInBody(const std::string& email, const std::string& next, const std::string& fault) {
    return Template(
               "<h1>Logga in</h1>\n{{fault}}<form method=\"post\" action=\"/logga-in.htm\">\n"
               "<input type=\"hidden\" name=\"next\" value=\"{{next}}\">\n"
               "<p><label for=\"email\">E-postadress</label><input id=\"email\" name=\"email\" type=\"text\" "
               "value=\"{{email}}\" maxlength=\"{{emailLength}}\" required></p>\n"
               "<p><label for=\"password\">Lösenord</label><input id=\"password\" name=\"password\" "
               "type=\"password\" maxlength=\"{{passwordLength}}\" required></p>\n"
               "<p><button type=\"submit\">Logga in</button></p>\n</form>\n"
               "<p><a href=\"/getpass.htm\">Glömt lösenordet?</a> Inte medlem? "
               "<a href=\"/reg3.htm\">Bli medlem här</a>.</p>\n")
        .set("fault", faultLine(fault))
        .set("next", next)
        .set("email", email)
        .set("emailLength", maxUserNameLength)
        .set("passwordLength", maxPasswordLength)
        .render();
}
