#include "server/route_table.h"

const Route* RouteTable::find(std::string_view method, std::string_view path) const {
    std::string_view wanted = method == "HEAD" ? std::string_view("GET") : method;
    for (const Route& route : routes_) {
        if (route.method != wanted) continue;
        bool prefix = route.path.size() > 1 && route.path.back() == '/';
        if (prefix ? path.substr(0, route.path.size()) == route.path : path == route.path) return &route;
    }
    return nullptr;
}

HttpAnswer RouteTable::refusal(int status) const {
    if (refusal_) return refusal_(status);
    return answerWith(status, "text/plain; charset=utf-8", "");
}
