#pragma once
// Files served from a folder (/download/, and the browser game's under
// /spela/): regular files in the folder and its subfolders, never through
// a symbolic link, never a hidden name.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "server/http_exchange.h"

struct OpenFile {
    int fd;  // read-only; the caller closes it
    std::size_t size;
};

// The regular file of the path below the folder ("zifra.exe", "sub/a.js"),
// open; none when there is no such file.
std::optional<OpenFile> openBelow(const std::filesystem::path& folder, std::string_view path);

// The content type of a file by its name's ending.
std::string contentTypeOf(std::string_view name);

// The answer for the path below /download/ (e.g. "zifra.exe"), the file
// open and ready to send; none when there is no such regular file.
std::optional<HttpAnswer> downloadAnswer(const std::filesystem::path& folder, std::string_view path);
