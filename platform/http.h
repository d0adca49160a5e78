#pragma once
// HTTP: one form posted to a web server, and its answer.
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

struct HttpForm {
    const char* host;
    std::uint16_t port;
    const char* path;    // the request's object, "/r0002.asp"
    const char* header;  // one extra header line, without its line end
};

// What became of a post.
struct HttpAnswer {
    // True: `text` is what the server answered with a 2xx status (its first
    // 16383 bytes). False: there is no answer to read; `code` and `text` say why.
    bool answered = false;
    // Without an answer, never 0: -1 when the platform has no way to post,
    // refusedHttpStatus, otherwise the platform's error number, or
    // unexplainedHttpFailure.
    std::int32_t code = 0;
    std::string text;
};

// The code of a failure that neither the platform's library nor the system explains.
inline constexpr std::int32_t unexplainedHttpFailure = -2;
// The code of an answer whose status is no 2xx (an error page, a proxy's
// complaint); `text` is then its status line.
inline constexpr std::int32_t refusedHttpStatus = -4;

// Posts `form` and reads the answer; blocks until then, for a bounded time.
// `body` gives the form's bytes and is asked once the connection is open
// (building them may take seconds), and not at all when it cannot be opened.
HttpAnswer postForm(const HttpForm& form, const std::function<std::string()>& body);

}  // namespace platform
