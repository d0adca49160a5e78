#pragma once
// Pages from templates that escape by default. A template is markup written
// in this program's own code, with {{name}} slots; whatever fills a slot is
// escaped unless it is Html, and Html is made only by templates, by escaping
// and by joining Html. So a text from outside reaches a page escaped, unless
// someone writes a literal to let it through, which a review can see.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// Markup that is safe to send.
class Html {
public:
    Html() = default;

    const std::string& markup() const { return markup_; }
    bool empty() const { return markup_.empty(); }

    Html& operator+=(const Html& more) {
        markup_ += more.markup_;
        return *this;
    }
    friend Html operator+(Html first, const Html& second) { return first += second; }

private:
    friend class Template;
    friend Html escaped(std::string_view text);
    explicit Html(std::string markup) : markup_(std::move(markup)) {}

    std::string markup_;
};

// The text shown as it is: & < > " ' as character references, safe in
// element content and in quoted attribute values.
Html escaped(std::string_view text);

class Template {
public:
    // Only a string literal is taken as markup: a std::string, which could
    // hold anything, does not convert.
    template <std::size_t N>
    explicit Template(const char (&markup)[N]) : markup_(markup, N - 1) {}
    Template(const std::string&) = delete;

    // Fills a slot with a text, escaped.
    Template& set(std::string_view slot, std::string_view text);
    Template& set(std::string_view slot, const char* text) { return set(slot, std::string_view(text)); }
    Template& set(std::string_view slot, const std::string& text) { return set(slot, std::string_view(text)); }
    // Fills a slot with a whole number in decimal.
    template <class Number>
        requires(std::is_integral_v<Number> && !std::is_same_v<Number, bool> && !std::is_same_v<Number, char>)
    Template& set(std::string_view slot, Number number) {
        return set(slot, Html(std::to_string(number)));
    }
    // Fills a slot with markup that is already safe.
    Template& set(std::string_view slot, const Html& markup);

    // The markup with every slot filled. A slot left unfilled, a value for
    // a slot the template lacks, and a "{{" that opens no slot are faults
    // of this program, not of what it was sent: std::logic_error.
    Html render() const;

private:
    std::string_view markup_;
    std::vector<std::pair<std::string, std::string>> values_;  // slot, its markup
};

// Html of each item, one after another.
template <class Items, class Render>
Html joined(const Items& items, Render render) {
    Html all;
    for (const auto& item : items) all += render(item);
    return all;
}
