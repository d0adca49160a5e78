#pragma once
// Text between the program and the page: the page speaks UTF-8 (turned into
// JavaScript strings by its glue) and reads JSON; the program keeps its own
// texts in code page 1252 and reads typed fields as UTF-16.
#include <string>
#include <string_view>

// UTF-16 (as the registration fields are typed) as UTF-8; a lone surrogate
// becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);

// The program's code page 1252 text as UTF-8.
std::string utf8FromCodePage1252(std::string_view bytes);

// UTF-8 from the page as UTF-16; a byte that starts no well-formed sequence
// becomes U+FFFD.
std::u16string utf16FromUtf8(std::string_view text);

// `utf8` as a JSON string, quotes included: quote, backslash and control
// characters escaped, and U+2028/U+2029 too, so it is also safe as script.
std::string jsonString(std::string_view utf8);
