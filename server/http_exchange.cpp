#include "server/http_exchange.h"

#include <algorithm>
#include <cctype>

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string formDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

}  // namespace

std::string HttpRequest::param(std::string_view name) const {
    for (const auto& [key, value] : params) {
        if (key == name) return value;
    }
    return {};
}

std::string HttpRequest::header(std::string_view name) const {
    auto found = headers.find(lowerCase(name));
    return found == headers.end() ? std::string() : found->second;
}

HttpAnswer answerWith(int status, std::string contentType, std::string body) {
    HttpAnswer answer;
    answer.status = status;
    answer.contentType = std::move(contentType);
    answer.body = std::move(body);
    return answer;
}

std::vector<std::pair<std::string, std::string>> decodeForm(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> fields;
    while (!text.empty()) {
        std::size_t end = std::min(text.find('&'), text.size());
        std::string_view field = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (field.empty()) continue;
        std::size_t equals = field.find('=');
        if (equals == std::string_view::npos) {
            fields.emplace_back(formDecoded(field), "");
        } else {
            fields.emplace_back(formDecoded(field.substr(0, equals)), formDecoded(field.substr(equals + 1)));
        }
    }
    return fields;
}

HttpAnswer seeOther(std::string location) {
    constexpr int seeOtherStatus = 303;
    HttpAnswer answer = answerWith(seeOtherStatus, "text/plain; charset=utf-8", "");
    answer.headers.emplace_back("Location", std::move(location));
    return answer;
}
