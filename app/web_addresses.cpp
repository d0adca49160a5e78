#include "app/web_addresses.h"

#include "build_settings.h"

std::string siteName(std::string_view host, int port) {
    std::string name(host);
    if (port != 80) {
        name += ':';
        name += std::to_string(port);
    }
    return name;
}

std::string competitionSiteName() { return siteName(competitionHost, competitionPort); }

std::string competitionAddress(std::string_view path) { return "http://" + competitionSiteName() + std::string(path); }

std::string makerAddress(std::string_view path) { return "http://" + std::string(makerHost) + std::string(path); }
