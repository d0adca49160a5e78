#include "platform/wininet_binding.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t preconfiguredAccess = 0;
constexpr std::uint32_t httpService = 3;
constexpr std::uint32_t maxAnswerBytes = 16383;
constexpr std::uint32_t responseInfoSize = 8192;
constexpr std::size_t responseInfoKept = 127;
constexpr std::int32_t notBound = -1;

platform::HttpAnswer bindingFailure(std::string text) { return {false, notBound, std::move(text)}; }

}  // namespace

template <typename Function>
bool WinInetBinding::lookUp(const char* name, Function*& slot, platform::HttpAnswer& failure) {
    slot = reinterpret_cast<Function*>(platform::findEntryPoint(library_, name));
    if (slot) return true;
    failure = bindingFailure(std::string("Kunde inte hitta funktionen ") + name + " i WinInet.dll");
    return false;
}

bool WinInetBinding::bind(platform::HttpAnswer& failure) {
    if (!library_) library_ = platform::loadLibrary("WinINet");
    if (!library_) {
        failure = bindingFailure("Kunde inte hitta WinInet.dll");
        return false;
    }
    bound_ = lookUp("InternetOpenA", InternetOpenA, failure) &&
             lookUp("InternetConnectA", InternetConnectA, failure) &&
             lookUp("InternetReadFile", InternetReadFile, failure) &&
             lookUp("InternetGetLastResponseInfoA", InternetGetLastResponseInfoA, failure) &&
             lookUp("HttpOpenRequestA", HttpOpenRequestA, failure) &&
             lookUp("HttpSendRequestA", HttpSendRequestA, failure) &&
             lookUp("InternetCloseHandle", InternetCloseHandle, failure);
    return bound_;
}

platform::HttpAnswer WinInetBinding::lastResponse(std::uint32_t failedCallError) {
    std::uint32_t error = 0;
    char text[responseInfoSize] = {};
    std::uint32_t length = responseInfoSize;
    InternetGetLastResponseInfoA(&error, text, &length);
    if (error == 0) error = failedCallError;
    const void* end = std::memchr(text, '\0', responseInfoKept);
    return {false, error != 0 ? static_cast<std::int32_t>(error) : platform::unexplainedHttpFailure,
            std::string(text, end ? static_cast<const char*>(end) - text : responseInfoKept)};
}

platform::HttpAnswer WinInetBinding::post(const platform::HttpForm& form, const std::function<std::string()>& body) {
    platform::HttpAnswer outcome;
    if (!bound_ && !bind(outcome)) return outcome;

    InternetHandle session = InternetOpenA("SpelHttp", preconfiguredAccess, nullptr, nullptr, 0);
    if (!session) return lastResponse(platform::lastError());
    InternetHandle connection = InternetConnectA(session, form.host, form.port, "", "", httpService, 0, 0);
    if (!connection) {
        outcome = lastResponse(platform::lastError());
        InternetCloseHandle(session);
        return outcome;
    }

    // A missing request records why and the post goes on: the send then fails
    // for want of it and records its own failure, which stays.
    InternetHandle request = HttpOpenRequestA(connection, "POST", form.path, nullptr, nullptr, nullptr, 0, 0);
    if (!request) outcome = lastResponse(platform::lastError());

    std::string bytes = body();
    if (HttpSendRequestA(request, form.header, static_cast<std::uint32_t>(std::strlen(form.header)), bytes.data(),
                         static_cast<std::uint32_t>(bytes.size()))) {
        std::vector<char> answer(maxAnswerBytes);
        std::uint32_t received = 0;
        if (InternetReadFile(request, answer.data(), maxAnswerBytes, &received)) {
            outcome = {true, 0, std::string(answer.data(), received)};
        } else {
            outcome = lastResponse(platform::lastError());
        }
    } else {
        // A request that was not sent has no answer: reading one anyway may
        // "succeed" with nothing, which must not count as an answer.
        outcome = lastResponse(platform::lastError());
    }
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(session);
    return outcome;
}
