#include "server/download_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

// The path's parts; none when one is empty, hidden (".", ".." among them)
// or holds a NUL.
std::optional<std::vector<std::string>> partsOf(std::string_view path) {
    std::vector<std::string> parts;
    while (true) {
        std::size_t slash = path.find('/');
        std::string_view part = path.substr(0, slash);
        if (part.empty() || part.front() == '.' || part.find('\0') != std::string_view::npos) return std::nullopt;
        parts.emplace_back(part);
        if (slash == std::string_view::npos) return parts;
        path.remove_prefix(slash + 1);
    }
}

}  // namespace

std::string contentTypeOf(std::string_view name) {
    auto endsWith = [&](std::string_view end) {
        return name.size() >= end.size() && name.substr(name.size() - end.size()) == end;
    };
    if (endsWith(".txt")) return "text/plain; charset=utf-8";
    if (endsWith(".htm") || endsWith(".html")) return "text/html; charset=utf-8";
    if (endsWith(".js")) return "text/javascript; charset=utf-8";
    if (endsWith(".wasm")) return "application/wasm";
    if (endsWith(".css")) return "text/css; charset=utf-8";
    if (endsWith(".json")) return "application/json";
    if (endsWith(".zip")) return "application/zip";
    if (endsWith(".png")) return "image/png";
    if (endsWith(".ico")) return "image/x-icon";
    return "application/octet-stream";
}

std::optional<OpenFile> openBelow(const std::filesystem::path& folder, std::string_view path) {
    auto parts = partsOf(path);
    if (!parts) return std::nullopt;
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t i = 0; dir >= 0 && i + 1 < parts->size(); ++i) {
        int next = openat(dir, (*parts)[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        close(dir);
        dir = next;
    }
    if (dir < 0) return std::nullopt;
    // Non-blocking, so that a named pipe put there cannot hold the open.
    int fd = openat(dir, parts->back().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    close(dir);
    if (fd < 0) return std::nullopt;
    struct stat facts{};
    if (fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
        close(fd);
        return std::nullopt;
    }
    return OpenFile{fd, static_cast<std::size_t>(facts.st_size)};
}

std::optional<HttpAnswer> downloadAnswer(const std::filesystem::path& folder, std::string_view path) {
    auto file = openBelow(folder, path);
    if (!file) return std::nullopt;
    HttpAnswer answer;
    answer.contentType = contentTypeOf(path);
    answer.file = {file->fd, file->size};
    return answer;
}
