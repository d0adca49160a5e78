#include "server/web_game_files.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "net/build_checksum.h"

namespace {

bool endsWith(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

// A name of one folder level that stays inside the folder: not empty, not
// hidden (so neither "." nor ".."), and no separator or control character of
// any system.
bool plainName(std::string_view name) {
    if (name.empty() || name.size() > 255 || name.front() == '.') return false;
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\' || c == ':') return false;
    }
    return true;
}

// The levels of `path`, or none at all when one of them is not plain.
std::vector<std::string_view> levels(std::string_view path) {
    std::vector<std::string_view> names;
    while (true) {
        std::size_t slash = path.find('/');
        std::string_view name = path.substr(0, slash);
        if (!plainName(name)) return {};
        names.push_back(name);
        if (slash == std::string_view::npos) return names;
        path.remove_prefix(slash + 1);
    }
}

// Every level below the folder must be a real folder and the last a
// regular file: no link is followed.
bool regularFileWithoutLinks(const std::filesystem::path& folder, const std::vector<std::string_view>& names,
                             std::filesystem::path& file) {
    std::error_code error;
    file = folder;
    for (std::size_t i = 0; i < names.size(); ++i) {
        file /= std::string(names[i]);
        auto status = std::filesystem::symlink_status(file, error);
        if (error) return false;
        bool last = i + 1 == names.size();
        if (last ? !std::filesystem::is_regular_file(status) : !std::filesystem::is_directory(status)) return false;
    }
    return true;
}

}  // namespace

std::string webContentType(std::string_view name) {
    if (endsWith(name, ".html")) return "text/html; charset=utf-8";
    if (endsWith(name, ".js")) return "text/javascript; charset=utf-8";
    if (endsWith(name, ".wasm")) return "application/wasm";
    if (endsWith(name, ".css")) return "text/css; charset=utf-8";
    if (endsWith(name, ".png")) return "image/png";
    if (endsWith(name, ".ico")) return "image/x-icon";
    if (endsWith(name, ".json")) return "application/json";
    if (endsWith(name, ".txt")) return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

FileAnswer webGameFile(const std::filesystem::path& folder, std::string_view path, std::string_view ifNoneMatch) {
    FileAnswer answer;
    std::vector<std::string_view> names = levels(path.empty() ? std::string_view("index.html") : path);
    std::filesystem::path file;
    if (names.empty() || !regularFileWithoutLinks(folder, names, file)) return answer;

    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > maxWebGameFile) return answer;
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return answer;

    char etag[32];
    std::snprintf(etag, sizeof etag, "\"%08x-%zx\"", checksumOf(bytes), bytes.size());
    answer.etag = etag;
    answer.cacheControl = "no-cache";
    answer.contentType = webContentType(names.back());
    if (ifNoneMatch == answer.etag) {
        answer.status = 304;
        return answer;
    }
    answer.status = 200;
    answer.body = std::move(bytes);
    return answer;
}
