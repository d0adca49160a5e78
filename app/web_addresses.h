#pragma once
// Addresses of the web pages the program opens, built from the build-time
// host settings: the competition site (which also receives the scores) and
// the maker's site.
#include <string>
#include <string_view>

// "host" or "host:port"; the port is left out when it is HTTP's own 80.
std::string siteName(std::string_view host, int port);

// siteName of the competition server.
std::string competitionSiteName();

// "http://" + the competition site + path (path starts with "/").
std::string competitionAddress(std::string_view path);

// "http://" + the maker's host + path.
std::string makerAddress(std::string_view path);
