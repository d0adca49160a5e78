#pragma once
// A scripted stand-in for the Internet library, installed at the platform
// seam under the name "WinINet": it records what the program hands to each
// entry point and answers as the test scripts it.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake_control.h"

struct FakeInternet {
    // Script: which calls fail, what they leave behind, what the server answers.
    bool openFails = false;
    bool connectFails = false;
    bool requestFails = false;
    bool sendFails = false;
    bool readFails = false;
    bool statusQueryFails = false;
    std::uint32_t failedCallError = 0;  // what lastError() reads after a failed call
    std::uint32_t responseInfoError = 0;
    std::string responseInfoText;
    std::string response;
    // The answer's status line.
    std::string version = "HTTP/1.1";
    std::uint32_t status = 200;
    std::string statusText = "OK";

    // Record.
    std::vector<std::string> calls;  // entry point names, in order
    std::string agent;
    std::string host;
    std::uint16_t port = 0;
    std::uint32_t service = 0;
    std::string verb;
    std::string path;
    std::string headers;
    std::uint32_t headersLength = 0;
    std::string body;
    std::uint32_t readLimit = 0;
    struct Option {
        void* handle;
        std::uint32_t option;
        std::uint32_t value;
        bool operator==(const Option&) const = default;
    };
    std::vector<Option> options;
    std::vector<void*> closedHandles;

    // Every entry point of the library, for FakeLibrary::entryPoints.
    static platform::fake::FakeLibrary library();
};

// The one fake that the entry points act on; reset by each test.
FakeInternet& fakeInternet();

// Handles that the fake hands out.
void* fakeSession();
void* fakeConnection();
void* fakeRequest();
