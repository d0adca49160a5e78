#pragma once
// Nicknames as the lists show them: NFKC-normalised (full-width letters
// become plain ones), invisible characters dropped, spacing trimmed and
// single; refused when nothing visible is left, when they carry bidi
// controls that reorder what is shown, or piles of combining marks. Two
// nicknames a reader could take for one another share a skeleton (Unicode's
// confusables, after case folding): "Сhаmpiоn55" with Cyrillic letters has
// the skeleton of "Champion55".
#include <string>
#include <string_view>

enum class NicknameFault { none, emptyOrLong, deceptive };

struct NicknameVerdict {
    std::string shown;  // the nickname to keep, UTF-8
    std::string skeleton;  // equal for look-alikes
    // emptyOrLong: nothing visible, or too long; deceptive: bidi controls,
    // control characters, piled marks or not UTF-8.
    NicknameFault fault = NicknameFault::deceptive;
};

// `maxCharacters` counts the kept form's code points.
NicknameVerdict examineNickname(std::string_view utf8, std::size_t maxCharacters);
