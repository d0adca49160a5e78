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

class WinInetBinding {
public:
    // Binds the library if it is not bound yet, then opens a session and a
    // connection, posts the form, reads the answer with one read, and closes
    // request, connection and session again. Nothing stays open between posts.
    platform::HttpAnswer post(const platform::HttpForm& form, const std::function<std::string()>& body);

private:
    // Loads the library (once) and looks up the seven entry points; on a
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
};
