#pragma once
// The browser game's files, served under /spela/: which file of the game's
// folder a request's path names, and the answer that carries it. Only
// regular files inside the folder are ever answered (openBelow,
// download_files.h).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Where the start page finds the browser game.
inline constexpr char webGameAddress[] = "/spela/";

struct FileAnswer {
    int status = 404;  // 200, 304 (not modified) or 404
    std::string body;
    std::string contentType;
    std::string cacheControl;
    std::string etag;
};

// The largest file served; the game's are far smaller.
inline constexpr std::uintmax_t maxWebGameFile = 16 * 1024 * 1024;

// The answer to a GET of `path`, the percent-decoded rest of the address
// after "/spela/" ("" is index.html), given the request's If-None-Match.
// Every file is revalidated before use (no-cache) and has an ETag of its
// bytes, so a new build is never mixed with a cached part of the old one.
FileAnswer webGameFile(const std::filesystem::path& folder, std::string_view path, std::string_view ifNoneMatch);
