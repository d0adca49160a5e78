#include "server/html_template.h"

#include <algorithm>
#include <stdexcept>

Html escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return Html(std::move(out));
}

Template& Template::set(std::string_view slot, std::string_view text) { return set(slot, escaped(text)); }

Template& Template::set(std::string_view slot, const Html& markup) {
    for (auto& [name, value] : values_) {
        if (name == slot) throw std::logic_error("template slot filled twice: " + std::string(slot));
    }
    values_.emplace_back(slot, markup.markup());
    return *this;
}

Html Template::render() const {
    std::string out;
    out.reserve(markup_.size());
    std::vector<bool> used(values_.size(), false);
    std::size_t at = 0;
    while (at < markup_.size()) {
        std::size_t open = markup_.find("{{", at);
        if (open == std::string_view::npos) {
            out += markup_.substr(at);
            break;
        }
        out += markup_.substr(at, open - at);
        std::size_t close = markup_.find("}}", open + 2);
        if (close == std::string_view::npos) throw std::logic_error("template slot not closed");
        std::string_view slot = markup_.substr(open + 2, close - open - 2);
        auto value = std::find_if(values_.begin(), values_.end(), [slot](const auto& v) { return v.first == slot; });
        if (value == values_.end()) throw std::logic_error("template slot not filled: " + std::string(slot));
        out += value->second;
        used[static_cast<std::size_t>(value - values_.begin())] = true;
        at = close + 2;
    }
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (!used[i]) throw std::logic_error("template has no slot " + values_[i].first);
    }
    return Html(std::move(out));
}
