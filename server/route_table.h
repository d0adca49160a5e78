#pragma once
// The service's one table of addresses: method and path to a named
// handler. The name is what logs and metrics call the route; the kind of
// work tells which workers run it.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "server/http_exchange.h"

// Handlers that may hash a password wait for a hashing slot; they run on
// workers of their own, so that a flood of them never holds up the pages.
enum class Work { quick, hashing };

using Handler = std::function<HttpAnswer(const HttpRequest&)>;

struct Route {
    std::string method;  // HEAD is served by a GET route
    // Exact, or a prefix when it ends in "/" (but "/" itself); a "*" stands
    // for one segment of the path, which is not empty.
    std::string path;
    std::string name;
    Work work = Work::quick;
    Handler handle;
    std::size_t bodyBytes = 0;  // the longest body it takes; 0: the server's limit
};

class RouteTable {
public:
    void add(Route route) { routes_.push_back(std::move(route)); }
    // The first route for the method and path; none when there is none.
    const Route* find(std::string_view method, std::string_view path) const;

    // What the service answers when the server refuses a request before
    // any handler (404, 413, 415, 500, 503); a bare status without it.
    void setRefusal(std::function<HttpAnswer(int status)> refusal) { refusal_ = std::move(refusal); }
    HttpAnswer refusal(int status) const;

private:
    std::vector<Route> routes_;
    std::function<HttpAnswer(int)> refusal_;
};
