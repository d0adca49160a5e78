#include "server/route_table.h"

#include <algorithm>

namespace {

bool matches(std::string_view pattern, std::string_view path) {
    bool prefix = pattern.size() > 1 && pattern.back() == '/';
    for (;;) {
        std::size_t star = pattern.find('*');
        std::string_view literal = pattern.substr(0, star);
        if (!path.starts_with(literal)) return false;
        path.remove_prefix(literal.size());
        if (star == std::string_view::npos) break;
        std::size_t segment = std::min(path.find('/'), path.size());
        if (segment == 0) return false;
        path.remove_prefix(segment);
        pattern.remove_prefix(star + 1);
    }
    return prefix || path.empty();
}

}  // namespace

const Route* RouteTable::find(std::string_view method, std::string_view path) const {
    std::string_view wanted = method == "HEAD" ? std::string_view("GET") : method;
    for (const Route& route : routes_) {
        if (route.method == wanted && matches(route.path, path)) return &route;
    }
    return nullptr;
}

HttpAnswer RouteTable::refusal(int status) const {
    if (refusal_) return refusal_(status);
    return answerWith(status, "text/plain; charset=utf-8", "");
}
