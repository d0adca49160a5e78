#pragma once
// The longest texts the registration dialog takes, in bytes of code page
// 1252: what the score form can carry, and so what the sign-up form allows.
#include <cstddef>

inline constexpr std::size_t maxUserNameLength = 64;
inline constexpr std::size_t maxPasswordLength = 16;
