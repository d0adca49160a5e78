#pragma once
// The two ways names reach the service: the game sends single-byte code page
// 1252, browsers send UTF-8. Everything is kept as UTF-8; a name typed in
// either way is the same account.
#include <optional>
#include <string>
#include <string_view>

// The text as UTF-8. The five bytes that code page 1252 leaves undefined
// become the control characters of the same number, as Windows reads them.
std::string utf8FromCp1252(std::string_view cp1252);

// The text in code page 1252; nothing when it is not valid UTF-8 or holds a
// character that the code page (and so the game's dialog) cannot carry.
std::optional<std::string> cp1252FromUtf8(std::string_view utf8);

// True when the text is valid UTF-8.
bool isUtf8(std::string_view text);

// True when the text is valid UTF-8 without control characters.
bool isPrintableUtf8(std::string_view utf8);

// The number of characters of valid UTF-8.
std::size_t characterCount(std::string_view utf8);

// The text without spaces, tabs and line ends at either end.
std::string trimmed(std::string_view text);

// What names are told apart by: lower case for every letter of code page
// 1252 (A-Z, À-Þ, Š, Œ, Ž, Ÿ); other characters stay as they are; spaces at
// either end, as a name typed in the game or on the web may have, do not
// count.
std::string nameKey(std::string_view utf8);
