#include "server/text_encoding.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

// Code points of bytes 0x80 to 0x9F; the undefined five keep their number.
constexpr std::array<char32_t, 32> highControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code points of valid UTF-8 (shortest forms, no surrogates), or nothing.
std::optional<std::vector<char32_t>> decodeUtf8(std::string_view text) {
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<std::uint8_t>(text[i]);
        int extra = lead < 0x80 ? 0 : lead < 0xC2 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : -1;
        if (extra < 0 || i + extra >= text.size()) return std::nullopt;
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<std::uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = c << 6 | (next & 0x3F);
        }
        constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (c < smallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return std::nullopt;
        points.push_back(c);
        i += 1 + extra;
    }
    return points;
}

char32_t fromCp1252(std::uint8_t byte) { return byte >= 0x80 && byte < 0xA0 ? highControls[byte - 0x80] : byte; }

std::optional<char> toCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return static_cast<char>(c);
    for (std::size_t i = 0; i < highControls.size(); ++i) {
        if (highControls[i] == c) return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

char32_t lowerCase(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    switch (c) {
        case 0x0160: return 0x0161;  // Š
        case 0x0152: return 0x0153;  // Œ
        case 0x017D: return 0x017E;  // Ž
        case 0x0178: return 0x00FF;  // Ÿ
        default: return c;
    }
}

}  // namespace

std::string utf8FromCp1252(std::string_view cp1252) {
    std::string out;
    for (char b : cp1252) appendUtf8(out, fromCp1252(static_cast<std::uint8_t>(b)));
    return out;
}

std::optional<std::string> cp1252FromUtf8(std::string_view utf8) {
    auto points = decodeUtf8(utf8);
    if (!points) return std::nullopt;
    std::string out;
    for (char32_t c : *points) {
        auto byte = toCp1252(c);
        if (!byte) return std::nullopt;
        out += *byte;
    }
    return out;
}

bool isUtf8(std::string_view text) { return decodeUtf8(text).has_value(); }

bool isPrintableUtf8(std::string_view utf8) {
    auto points = decodeUtf8(utf8);
    if (!points) return false;
    for (char32_t c : *points) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return false;
    }
    return true;
}

std::size_t characterCount(std::string_view utf8) {
    auto points = decodeUtf8(utf8);
    return points ? points->size() : utf8.size();
}

std::string trimmed(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return "";
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::string nameKey(std::string_view name) {
    std::string utf8 = trimmed(name);
    auto points = decodeUtf8(utf8);
    if (!points) return utf8;
    std::string out;
    for (char32_t c : *points) appendUtf8(out, lowerCase(c));
    return out;
}
