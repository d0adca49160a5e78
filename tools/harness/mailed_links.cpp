#include "mailed_links.h"

#include <fstream>
#include <regex>
#include <sstream>

std::vector<std::string> mailedTokens(const std::filesystem::path& outbox, const std::string& page,
                                      const std::string& to) {
    std::vector<std::string> tokens;
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(outbox, error)) {
        if (entry.path().extension() == ".eml") files.push_back(entry.path());
    }
    const std::regex link("/" + std::regex_replace(page, std::regex("\\."), "\\.") + "\\?token=([A-Za-z0-9_-]+)");
    for (const auto& path : files) {
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        std::string mail = text.str();
        if (!to.empty() && mail.find("\r\nTo: " + to + "\r\n") == std::string::npos) continue;
        for (std::sregex_iterator m(mail.begin(), mail.end(), link), end; m != end; ++m) tokens.push_back((*m)[1]);
    }
    return tokens;
}
