#include "fake_internet.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/wininet_binding.h"

namespace {

char handles[3];
// ERROR_INVALID_HANDLE.
constexpr std::uint32_t invalidHandle = 6;

void* fail(const FakeInternet& fake) {
    platform::fake::setLastError(fake.failedCallError);
    return nullptr;
}

InternetHandle fakeOpen(const char* agent, std::uint32_t, const char*, const char*, std::uint32_t) {
    FakeInternet& f = fakeInternet();
    f.calls.push_back("InternetOpenA");
    f.agent = agent;
    return f.openFails ? fail(f) : fakeSession();
}

InternetHandle fakeConnect(InternetHandle session, const char* host, std::uint16_t port, const char*, const char*,
                           std::uint32_t service, std::uint32_t, std::uintptr_t) {
    FakeInternet& f = fakeInternet();
    f.calls.push_back("InternetConnectA");
    f.host = host;
    f.port = port;
    f.service = service;
    return f.connectFails || session != fakeSession() ? fail(f) : fakeConnection();
}

InternetHandle fakeOpenRequest(InternetHandle connection, const char* verb, const char* path, const char*,
                               const char*, const char**, std::uint32_t, std::uintptr_t) {
    FakeInternet& f = fakeInternet();
    f.calls.push_back("HttpOpenRequestA");
    f.verb = verb;
    f.path = path;
    return f.requestFails || connection != fakeConnection() ? fail(f) : fakeRequest();
}

int fakeSend(InternetHandle request, const char* headers, std::uint32_t headersLength, void* body,
             std::uint32_t bodyLength) {
    FakeInternet& f = fakeInternet();
    f.calls.push_back("HttpSendRequestA");
    f.headers.assign(headers, headersLength);
    f.headersLength = headersLength;
    f.body.assign(static_cast<const char*>(body), bodyLength);
    // As the library does, a handle it never gave out fails on its own account.
    if (request != fakeRequest()) return platform::fake::setLastError(invalidHandle), 0;
    if (f.sendFails) return fail(f), 0;
    return 1;
}

int fakeRead(InternetHandle request, void* buffer, std::uint32_t limit, std::uint32_t* received) {
    FakeInternet& f = fakeInternet();
    f.calls.push_back("InternetReadFile");
    f.readLimit = limit;
    if (f.readFails || request != fakeRequest()) return fail(f), 0;
    // As under Wine: a request whose send failed reads as an empty answer.
    if (f.sendFails) return *received = 0, 1;
    *received = static_cast<std::uint32_t>(std::min<std::size_t>(limit, f.response.size()));
    std::memcpy(buffer, f.response.data(), *received);
    return 1;
}

int fakeLastResponse(std::uint32_t* error, char* buffer, std::uint32_t* length) {
    FakeInternet& f = fakeInternet();
    f.calls.push_back("InternetGetLastResponseInfoA");
    *error = f.responseInfoError;
    std::uint32_t n = std::min<std::uint32_t>(*length - 1, static_cast<std::uint32_t>(f.responseInfoText.size()));
    std::memcpy(buffer, f.responseInfoText.data(), n);
    buffer[n] = '\0';
    *length = n;
    // A real system call in between would overwrite the thread's last error.
    platform::fake::setLastError(0);
    return 1;
}

int fakeSetOption(InternetHandle handle, std::uint32_t option, void* buffer, std::uint32_t length) {
    FakeInternet& f = fakeInternet();
    f.calls.push_back("InternetSetOptionA");
    if (length != sizeof(std::uint32_t)) return fail(f), 0;
    f.options.push_back({handle, option, *static_cast<std::uint32_t*>(buffer)});
    return 1;
}

// Copies `text` as HttpQueryInfoA does: terminated, its length without the terminator.
int answerText(const std::string& text, void* buffer, std::uint32_t* length) {
    if (text.empty() || text.size() + 1 > *length) return 0;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *length = static_cast<std::uint32_t>(text.size());
    return 1;
}

int fakeQueryInfo(InternetHandle request, std::uint32_t level, void* buffer, std::uint32_t* length, std::uint32_t*) {
    FakeInternet& f = fakeInternet();
    f.calls.push_back("HttpQueryInfoA");
    if (f.statusQueryFails || request != fakeRequest()) return fail(f), 0;
    switch (level) {
    case 18: return answerText(f.version, buffer, length);
    case 19: return answerText(std::to_string(f.status), buffer, length);
    case 20: return answerText(f.statusText, buffer, length);
    case 19 | 0x20000000:
        if (*length < sizeof f.status) return fail(f), 0;
        std::memcpy(buffer, &f.status, sizeof f.status);
        return 1;
    default: return fail(f), 0;
    }
}

int fakeClose(InternetHandle handle) {
    FakeInternet& f = fakeInternet();
    f.calls.push_back("InternetCloseHandle");
    f.closedHandles.push_back(handle);
    return 1;
}

}  // namespace

FakeInternet& fakeInternet() {
    static FakeInternet instance;
    return instance;
}

void* fakeSession() { return &handles[0]; }
void* fakeConnection() { return &handles[1]; }
void* fakeRequest() { return &handles[2]; }

platform::fake::FakeLibrary FakeInternet::library() {
    platform::fake::FakeLibrary library;
    library.entryPoints = {
        {"InternetOpenA", reinterpret_cast<void*>(&fakeOpen)},
        {"InternetConnectA", reinterpret_cast<void*>(&fakeConnect)},
        {"InternetReadFile", reinterpret_cast<void*>(&fakeRead)},
        {"InternetGetLastResponseInfoA", reinterpret_cast<void*>(&fakeLastResponse)},
        {"HttpOpenRequestA", reinterpret_cast<void*>(&fakeOpenRequest)},
        {"HttpSendRequestA", reinterpret_cast<void*>(&fakeSend)},
        {"InternetCloseHandle", reinterpret_cast<void*>(&fakeClose)},
        {"InternetSetOptionA", reinterpret_cast<void*>(&fakeSetOption)},
        {"HttpQueryInfoA", reinterpret_cast<void*>(&fakeQueryInfo)},
    };
    return library;
}
