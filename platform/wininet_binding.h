#pragma once
// The Windows Internet library, bound at run time by name ("WinINet"), and
// one form post through it: the Windows side of http.h. Written over the
// library seam (library.h) with portable types, so that its failures can be
// tested against a scripted library: a handle is a void*, a DWORD a
// std::uint32_t, a BOOL an int (x86-64 has one calling convention).
#include <cstdint>
#include <functional>
#include <string>

#include "platform/http.h"
#include "platform/library.h"

using InternetHandle = void*;

using InternetOpenAFunction = InternetHandle(const char* agent, std::uint32_t accessType, const char* proxy,
                                             const char* proxyBypass, std::uint32_t flags);
using InternetConnectAFunction = InternetHandle(InternetHandle session, const char* serverName,
                                                std::uint16_t serverPort, const char* userName,
                                                const char* password, std::uint32_t service,
                                                std::uint32_t flags, std::uintptr_t context);
using InternetReadFileFunction = int(InternetHandle file, void* buffer, std::uint32_t bytesToRead,
                                     std::uint32_t* bytesRead);
using InternetGetLastResponseInfoAFunction = int(std::uint32_t* error, char* buffer, std::uint32_t* bufferLength);
using HttpOpenRequestAFunction = InternetHandle(InternetHandle connection, const char* verb, const char* objectName,
                                                const char* version, const char* referrer,
                                                const char** acceptTypes, std::uint32_t flags,
                                                std::uintptr_t context);
using HttpSendRequestAFunction = int(InternetHandle request, const char* headers, std::uint32_t headersLength,
                                     void* optional, std::uint32_t optionalLength);
using InternetCloseHandleFunction = int(InternetHandle handle);
using InternetSetOptionAFunction = int(InternetHandle handle, std::uint32_t option, void* buffer,
                                       std::uint32_t bufferLength);
using HttpQueryInfoAFunction = int(InternetHandle request, std::uint32_t infoLevel, void* buffer,
                                   std::uint32_t* bufferLength, std::uint32_t* index);

// Each network step of a post (connect, send, every receive) may wait this long...
inline constexpr std::uint32_t networkStepTimeoutMs = 10000;
// ...and sending and reading together no longer than this, however slowly a
// server drips its answer.
inline constexpr std::uint32_t exchangeTimeLimitMs = 30000;
// The library's own number for a time-out, for a post that ran out of time.
inline constexpr std::int32_t timeoutError = 12002;

class WinInetBinding {
public:
    // Binds the library if it is not bound yet, then opens a session, a
    // connection and a request with bounded network steps, builds the body,
    // and sends it and reads the answer with one read on a thread of their
    // own, waited for at most exchangeTimeLimitMs. Only an answer of a 2xx
    // status is read. Request, connection and session are closed again once
    // nothing uses them; nothing stays open between posts but what a server
    // still holds past the time limit.
    platform::HttpAnswer post(const platform::HttpForm& form, const std::function<std::string()>& body);

    // Lives as long as the program: work given up on may still use it.
    WinInetBinding() = default;
    WinInetBinding(const WinInetBinding&) = delete;
    WinInetBinding& operator=(const WinInetBinding&) = delete;

private:
    struct Exchange;

    // Loads the library (once) and looks up the nine entry points; on a
    // missing one, says which in `failure`.
    bool bind(platform::HttpAnswer& failure);
    template <typename Function>
    bool lookUp(const char* name, Function*& slot, platform::HttpAnswer& failure);
    // After a failed library call: the library's last-response error number and
    // text. `failedCallError` is the thread's last error read right after the
    // failed call; it stands in when the library reports error 0, and
    // unexplainedHttpFailure when that is 0 too, so a failure never reads as
    // an accepted score.
    platform::HttpAnswer lastResponse(std::uint32_t failedCallError);
    // Sets the connect, send and receive time-outs on the request.
    void boundNetworkSteps(InternetHandle request);
    // Sends and reads, on the thread that may block; leaves what became of
    // it in the exchange.
    void sendAndRead(Exchange& exchange);
    // A status that is no 2xx: the status line.
    platform::HttpAnswer refusedStatus(InternetHandle request, std::uint32_t status);

    platform::LibraryHandle library_ = nullptr;
    // Set once every entry point was found; until then each post looks them
    // up again, so a missing one is never called.
    bool bound_ = false;
    // The entry points, under the library's own names.
    InternetOpenAFunction* InternetOpenA = nullptr;
    InternetConnectAFunction* InternetConnectA = nullptr;
    InternetReadFileFunction* InternetReadFile = nullptr;
    InternetGetLastResponseInfoAFunction* InternetGetLastResponseInfoA = nullptr;
    HttpOpenRequestAFunction* HttpOpenRequestA = nullptr;
    HttpSendRequestAFunction* HttpSendRequestA = nullptr;
    InternetCloseHandleFunction* InternetCloseHandle = nullptr;
    InternetSetOptionAFunction* InternetSetOptionA = nullptr;
    HttpQueryInfoAFunction* HttpQueryInfoA = nullptr;
};
