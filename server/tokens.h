#pragma once
// Random tokens for links in mail, and the hashes they are kept as, so
// that the tables alone open nothing.
#include <string>
#include <string_view>

// 256 random bits, URL-safe base64.
std::string newToken();

// The token's hash, as stored.
std::string tokenHash(std::string_view token);

// A BLAKE2b digest of the text in hex.
std::string hexDigest(std::string_view text);
