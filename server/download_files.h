#pragma once
// The files under /download/: regular files in the download folder and its
// subfolders, never through a symbolic link, never a hidden name.
#include <filesystem>
#include <optional>
#include <string_view>

#include "server/http_exchange.h"

// The answer for the path below /download/ (e.g. "zifra.exe"), the file
// open and ready to send; none when there is no such regular file.
std::optional<HttpAnswer> downloadAnswer(const std::filesystem::path& folder, std::string_view path);
