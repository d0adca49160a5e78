#pragma once
// The Windows Internet library, bound at run time by name, and the session
// and connection to the competition server of one submission attempt.
// Portable: the entry points are declared with portable types (a handle is a
// void*, a DWORD a std::uint32_t, a BOOL an int; x86-64 has one calling
// convention).
#include <cstdint>

#include "net/submission_record.h"

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

// The bound entry points, under the library's own names; empty until bound.
extern InternetOpenAFunction* InternetOpenA;
extern InternetConnectAFunction* InternetConnectA;
extern InternetReadFileFunction* InternetReadFile;
extern InternetGetLastResponseInfoAFunction* InternetGetLastResponseInfoA;
extern HttpOpenRequestAFunction* HttpOpenRequestA;
extern HttpSendRequestAFunction* HttpSendRequestA;
extern InternetCloseHandleFunction* InternetCloseHandle;

// Handles of the current attempt.
extern InternetHandle internetSession;
extern InternetHandle serverConnection;

// Binds the library if needed, opens the session and the connection to the
// competition server. On failure the record's resultCode and message say why.
bool openServerConnection(SubmissionRecord& record);

// Closes the connection, then the session; only after openServerConnection succeeded.
void closeServerConnection();

// The resultCode of a failure that neither the library nor the system explains.
inline constexpr std::int32_t unexplainedFailureResult = -2;

// After a failed library call: the library's last-response error number and
// text into the record. `failedCallError` is the thread's last error read right
// after the failed call; it stands in when the library reports error 0, and
// unexplainedFailureResult when that is 0 too, so a failure never reads as an accepted score.
void recordLastResponse(SubmissionRecord& record, std::uint32_t failedCallError);
