#pragma once
// Code page 1252, the single-byte code page in which the form carries what
// the player typed, and in which the program keeps its texts.
#include <optional>
#include <string>
#include <string_view>

// `text` (UTF-16) as code-page bytes, or the first character that has no
// byte of its own there: nothing is sent as a look-alike.
struct CodePageText {
    std::string bytes;  // empty when a character was refused
    std::optional<char32_t> refused;
};
CodePageText toCodePage1252(std::u16string_view text);

// The characters of `bytes`; the five bytes that stand for none become U+FFFD.
std::u16string fromCodePage1252(std::string_view bytes);
