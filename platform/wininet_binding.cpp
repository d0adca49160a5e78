#include "platform/wininet_binding.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/time_limit.h"

namespace {

constexpr std::uint32_t preconfiguredAccess = 0;
constexpr std::uint32_t httpService = 3;
constexpr std::uint32_t maxAnswerBytes = 16383;
constexpr std::uint32_t responseInfoSize = 8192;
constexpr std::size_t responseInfoKept = 127;
constexpr std::int32_t notBound = -1;

// InternetSetOptionA's options and HttpQueryInfoA's levels, as WinINet numbers them.
constexpr std::uint32_t connectTimeoutOption = 2;
constexpr std::uint32_t sendTimeoutOption = 5;
constexpr std::uint32_t receiveTimeoutOption = 6;
constexpr std::uint32_t queryVersion = 18;
constexpr std::uint32_t queryStatusCode = 19;
constexpr std::uint32_t queryStatusText = 20;
constexpr std::uint32_t queryAsNumber = 0x20000000;
constexpr std::uint32_t statusPartSize = 128;

platform::HttpAnswer bindingFailure(std::string text) { return {false, notBound, std::move(text)}; }

}  // namespace

// What the sending thread shares with the one that waits for it. It owns the
// attempt's handles and closes them when the last of the two lets go, so the
// thread that gives up waiting never closes a handle still in use; only the
// request is closed early, to abort a call blocked on it where the library
// allows that (WinINet on Windows does; under Wine it stays blocked).
struct WinInetBinding::Exchange {
    explicit Exchange(InternetCloseHandleFunction* closeHandle) : close(closeHandle) {}
    ~Exchange() {
        if (request && !givenUp) close(request);
        if (connection) close(connection);
        if (session) close(session);
    }
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    InternetCloseHandleFunction* close;
    InternetHandle session = nullptr;
    InternetHandle connection = nullptr;
    InternetHandle request = nullptr;
    std::string header;
    std::string body;
    // Set when the waiting thread has given up and closed the request.
    std::atomic<bool> givenUp = false;
    platform::HttpAnswer outcome;
};

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
             lookUp("InternetCloseHandle", InternetCloseHandle, failure) &&
             lookUp("InternetSetOptionA", InternetSetOptionA, failure) &&
             lookUp("HttpQueryInfoA", HttpQueryInfoA, failure);
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

void WinInetBinding::boundNetworkSteps(InternetHandle request) {
    // Set on the request itself: under Wine the session's send and receive
    // time-outs never reach its requests. A step the library does not bound
    // is still bounded by the time limit of the whole exchange.
    for (std::uint32_t option : {connectTimeoutOption, sendTimeoutOption, receiveTimeoutOption}) {
        std::uint32_t timeout = networkStepTimeoutMs;
        InternetSetOptionA(request, option, &timeout, sizeof timeout);
    }
}

platform::HttpAnswer WinInetBinding::refusedStatus(InternetHandle request, std::uint32_t status) {
    // Wine reports status 0 when what came back had no status line at all.
    if (status == 0) return {false, platform::refusedHttpStatus, "Servern gav inget HTTP-svar"};
    std::string line;
    for (std::uint32_t level : {queryVersion, queryStatusCode, queryStatusText}) {
        char part[statusPartSize] = {};
        std::uint32_t size = sizeof part - 1;
        if (!HttpQueryInfoA(request, level, part, &size, nullptr) || part[0] == '\0') continue;
        if (!line.empty()) line += ' ';
        line += part;
    }
    return {false, platform::refusedHttpStatus, line};
}

void WinInetBinding::sendAndRead(Exchange& x) {
    // A request whose waiting thread has given up is closed: its handle may
    // belong to another attempt by now, so it is not used again.
    if (x.givenUp) return;
    if (!HttpSendRequestA(x.request, x.header.data(), static_cast<std::uint32_t>(x.header.size()), x.body.data(),
                          static_cast<std::uint32_t>(x.body.size()))) {
        // A request that was not sent has no answer: reading one anyway may
        // "succeed" with nothing, which must not count as an answer.
        x.outcome = lastResponse(platform::lastError());
        return;
    }
    if (x.givenUp) return;
    std::uint32_t status = 0;
    std::uint32_t size = sizeof status;
    if (!HttpQueryInfoA(x.request, queryStatusCode | queryAsNumber, &status, &size, nullptr)) {
        x.outcome = lastResponse(platform::lastError());
        return;
    }
    if (status < 200 || status > 299) {
        x.outcome = refusedStatus(x.request, status);
        return;
    }
    if (x.givenUp) return;
    std::vector<char> answer(maxAnswerBytes);
    std::uint32_t received = 0;
    if (InternetReadFile(x.request, answer.data(), maxAnswerBytes, &received)) {
        x.outcome = {true, 0, std::string(answer.data(), received)};
    } else {
        x.outcome = lastResponse(platform::lastError());
    }
}

platform::HttpAnswer WinInetBinding::post(const platform::HttpForm& form, const std::function<std::string()>& body) {
    platform::HttpAnswer failure;
    if (!bound_ && !bind(failure)) return failure;

    auto x = std::make_shared<Exchange>(InternetCloseHandle);
    x->session = InternetOpenA("SpelHttp", preconfiguredAccess, nullptr, nullptr, 0);
    if (!x->session) return lastResponse(platform::lastError());
    x->connection = InternetConnectA(x->session, form.host, form.port, "", "", httpService, 0, 0);
    if (!x->connection) return lastResponse(platform::lastError());

    x->request = HttpOpenRequestA(x->connection, "POST", form.path, nullptr, nullptr, nullptr, 0, 0);
    if (!x->request) {
        // Why it is missing is the answer: a send without it would only fail
        // again and put "invalid handle" in its place. The body is asked for
        // all the same, once the connection is open, as postForm promises.
        platform::HttpAnswer noRequest = lastResponse(platform::lastError());
        body();
        return noRequest;
    }
    boundNetworkSteps(x->request);
    x->header = form.header;
    x->body = body();

    if (platform::runWithTimeLimit([this, x] { sendAndRead(*x); }, exchangeTimeLimitMs)) return x->outcome;
    x->givenUp = true;
    if (x->request) InternetCloseHandle(x->request);
    return {false, timeoutError,
            "Servern svarade inte inom " + std::to_string(exchangeTimeLimitMs / 1000) + " sekunder"};
}
