#pragma once
// A request and its answer as the service's handlers see them, apart from
// any HTTP library: the server fills a request in whole, a handler returns
// an answer, the server sends it.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct HttpRequest {
    std::string method;  // "GET", "POST", ...
    std::string path;  // percent-decoded, without the query
    // The query's and, for a form, the body's fields, decoded, in order.
    std::vector<std::pair<std::string, std::string>> params;
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
    std::string remoteAddress;  // the client's IP address, no port
    std::string localAddress;  // "IP:port" the request came in on, an IPv6 IP in brackets

    // The first value of a field, empty when there is none.
    std::string param(std::string_view name) const;
    // A header's value, empty when there is none; the name in any case.
    std::string header(std::string_view name) const;
};

struct HttpAnswer {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    // A file sent instead of the body: its open descriptor, which the server
    // takes over and closes, and its length.
    std::optional<std::pair<int, std::size_t>> file;
};

// An answer of that status, type and body.
HttpAnswer answerWith(int status, std::string contentType, std::string body);

// "303 See Other" to a path of the service: where a browser goes after a
// form that did what it asked, so that reloading does not send it again.
HttpAnswer seeOther(std::string location);

// The fields of an application/x-www-form-urlencoded text, in order: "+"
// is a space, %XX a byte; a broken escape is kept as it is.
std::vector<std::pair<std::string, std::string>> decodeForm(std::string_view text);
