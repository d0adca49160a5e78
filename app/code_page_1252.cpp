#include "app/code_page_1252.h"

namespace {

constexpr char16_t noCharacter = 0xFFFD;

// The characters of bytes 0x80 to 0x9F; the rest stand for the character of
// their own number.
constexpr char16_t upperControlRow[32] = {
    0x20AC,      noCharacter, 0x201A, 0x0192, 0x201E, 0x2026,      0x2020, 0x2021,  //
    0x02C6,      0x2030,      0x0160, 0x2039, 0x0152, noCharacter, 0x017D, noCharacter,
    noCharacter, 0x2018,      0x2019, 0x201C, 0x201D, 0x2022,      0x2013, 0x2014,  //
    0x02DC,      0x2122,      0x0161, 0x203A, 0x0153, noCharacter, 0x017E, 0x0178,
};

std::optional<unsigned char> byteOf(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return static_cast<unsigned char>(character);
    for (unsigned i = 0; i < 32; ++i) {
        if (upperControlRow[i] != noCharacter && upperControlRow[i] == character) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

CodePageText toCodePage1252(std::u16string_view text) {
    CodePageText result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t character = text[i];
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            character = 0x10000 + ((character - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        }
        std::optional<unsigned char> byte = byteOf(character);
        if (!byte) return {{}, character};
        result.bytes += static_cast<char>(*byte);
    }
    return result;
}

std::u16string fromCodePage1252(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        text += byte >= 0x80 && byte < 0xA0 ? upperControlRow[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return text;
}
