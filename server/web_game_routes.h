#pragma once
// The browser game's addresses: /spela/ and what lies under it, from the
// game's folder (zifra-server --web).
#include <httplib.h>

#include <filesystem>

void addWebGameRoutes(httplib::Server& server, const std::filesystem::path& folder);
