#include "net/http_binding.h"

#include <cstring>
#include <string>

#include "build_settings.h"
#include "platform/library.h"

InternetOpenAFunction* InternetOpenA = nullptr;
InternetConnectAFunction* InternetConnectA = nullptr;
InternetReadFileFunction* InternetReadFile = nullptr;
InternetGetLastResponseInfoAFunction* InternetGetLastResponseInfoA = nullptr;
HttpOpenRequestAFunction* HttpOpenRequestA = nullptr;
HttpSendRequestAFunction* HttpSendRequestA = nullptr;
InternetCloseHandleFunction* InternetCloseHandle = nullptr;

InternetHandle internetSession = nullptr;
InternetHandle serverConnection = nullptr;

namespace {

platform::LibraryHandle httpLibrary = nullptr;
// Set once every entry point was found; until then each attempt looks them up
// again, so a missing one is never called.
bool bindingComplete = false;

constexpr std::uint32_t preconfiguredAccess = 0;
constexpr std::uint32_t httpService = 3;
constexpr std::uint32_t responseInfoSize = 8192;
constexpr std::size_t responseInfoKept = 127;

template <typename Function>
bool lookUp(const char* name, Function*& slot, SubmissionRecord& record) {
    slot = reinterpret_cast<Function*>(platform::findEntryPoint(httpLibrary, name));
    if (slot) return true;
    record.resultCode = -1;
    record.message = std::string("Kunde inte hitta funktionen ") + name + " i WinInet.dll";
    return false;
}

bool bindLibrary(SubmissionRecord& record) {
    if (!httpLibrary) httpLibrary = platform::loadLibrary("WinINet");
    if (!httpLibrary) {
        record.resultCode = -1;
        record.message = "Kunde inte hitta WinInet.dll";
        return false;
    }
    bindingComplete = lookUp("InternetOpenA", InternetOpenA, record) &&
                      lookUp("InternetConnectA", InternetConnectA, record) &&
                      lookUp("InternetReadFile", InternetReadFile, record) &&
                      lookUp("InternetGetLastResponseInfoA", InternetGetLastResponseInfoA, record) &&
                      lookUp("HttpOpenRequestA", HttpOpenRequestA, record) &&
                      lookUp("HttpSendRequestA", HttpSendRequestA, record) &&
                      lookUp("InternetCloseHandle", InternetCloseHandle, record);
    return bindingComplete;
}

}  // namespace

bool openServerConnection(SubmissionRecord& record) {
    if (!bindingComplete && !bindLibrary(record)) return false;

    internetSession = InternetOpenA("SpelHttp", preconfiguredAccess, nullptr, nullptr, 0);
    if (!internetSession) {
        recordLastResponse(record, platform::lastError());
        return false;
    }
    serverConnection = InternetConnectA(internetSession, competitionHost, static_cast<std::uint16_t>(competitionPort),
                                        "", "", httpService, 0, 0);
    if (!serverConnection) {
        recordLastResponse(record, platform::lastError());
        InternetCloseHandle(internetSession);  // nothing stays open between attempts
        return false;
    }
    return true;
}

void closeServerConnection() {
    InternetCloseHandle(serverConnection);
    InternetCloseHandle(internetSession);
}

void recordLastResponse(SubmissionRecord& record, std::uint32_t failedCallError) {
    std::uint32_t error = 0;
    char text[responseInfoSize] = {};
    std::uint32_t length = responseInfoSize;
    InternetGetLastResponseInfoA(&error, text, &length);
    if (error == 0) error = failedCallError;
    record.resultCode = error != 0 ? static_cast<std::int32_t>(error) : unexplainedFailureResult;
    const void* end = std::memchr(text, '\0', responseInfoKept);
    record.message.assign(text, end ? static_cast<const char*>(end) - text : responseInfoKept);
}
