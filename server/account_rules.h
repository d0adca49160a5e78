#pragma once
// What an account's e-mail address, nickname and password must be, the
// same at sign-up and on my pages; each check adds its faults in Swedish.
#include <cstddef>
#include <string>
#include <vector>

#include "server/nickname.h"

// The sign-up form's own limits; the e-mail address and the password are
// bounded by what the game's dialog can send (field_limits.h).
inline constexpr std::size_t maxNicknameCharacters = 32;
inline constexpr std::size_t minPasswordCharacters = 6;

// The address (trimmed) must be one mailbox the game can send.
void checkEmail(const std::string& email, std::vector<std::string>& faults);
// The nickname as it is kept, with its faults.
NicknameVerdict checkNickname(const std::string& nickname, std::vector<std::string>& faults);
// Length, the game's code page, the repetition.
void checkPassword(const std::string& password, const std::string& repeated, std::vector<std::string>& faults);
