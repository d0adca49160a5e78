#include "server/web_game_files.h"

#include <unistd.h>

#include <cstdio>

#include "net/build_checksum.h"
#include "server/download_files.h"

FileAnswer webGameFile(const std::filesystem::path& folder, std::string_view path, std::string_view ifNoneMatch) {
    FileAnswer answer;
    std::string_view name = path.empty() ? std::string_view("index.html") : path;
    auto file = openBelow(folder, name);
    if (!file) return answer;
    std::string bytes;
    bool whole = file->size <= maxWebGameFile;
    if (whole) {
        bytes.resize(file->size);
        for (std::size_t at = 0; whole && at < bytes.size();) {
            ssize_t got = read(file->fd, bytes.data() + at, bytes.size() - at);
            whole = got > 0;
            if (whole) at += static_cast<std::size_t>(got);
        }
    }
    close(file->fd);
    if (!whole) return answer;

    char etag[32];
    std::snprintf(etag, sizeof etag, "\"%08x-%zx\"", checksumOf(bytes), bytes.size());
    answer.etag = etag;
    answer.cacheControl = "no-cache";
    answer.contentType = contentTypeOf(name);
    if (ifNoneMatch == answer.etag) {
        answer.status = 304;
        return answer;
    }
    answer.status = 200;
    answer.body = std::move(bytes);
    return answer;
}
