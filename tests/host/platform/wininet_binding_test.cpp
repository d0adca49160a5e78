// The WinINet binding against a scripted library: binding it at run time,
// one post over the wire, and what a failed step leaves in the answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "fake_internet.h"
#include "platform/wininet_binding.h"

namespace {

constexpr const char* lookUpOrder[] = {
    "InternetOpenA",    "InternetConnectA", "InternetReadFile",    "InternetGetLastResponseInfoA",
    "HttpOpenRequestA", "HttpSendRequestA", "InternetCloseHandle", "InternetSetOptionA",
    "HttpQueryInfoA",
};

const platform::HttpForm form{"kvippa.example", 8080, "/r0002.asp",
                              "Content-Type: application/x-www-form-urlencoded"};

class WinInetBindingTest : public testing::Test {
protected:
    WinInetBindingTest() {
        platform::fake::removeLibraries();
        platform::fake::setLastError(0);
        platform::fake::holdWork(false);
        fakeInternet() = {};
    }
    ~WinInetBindingTest() override {
        platform::fake::holdWork(false);
        platform::fake::removeLibraries();
    }

    // Posts `form` with a body that counts how often it was asked for.
    platform::HttpAnswer post() {
        return binding.post(form, [this] {
            ++bodiesBuilt;
            return std::string("f1=41&f2=4");
        });
    }

    WinInetBinding binding;
    int bodiesBuilt = 0;
};

TEST_F(WinInetBindingTest, FailsWithItsMessagesUntilCompleteThenKeepsTheBinding) {
    platform::HttpAnswer answer = post();
    EXPECT_FALSE(answer.answered);
    EXPECT_EQ(answer.code, -1);
    EXPECT_EQ(answer.text, "Kunde inte hitta WinInet.dll");

    platform::fake::FakeLibrary complete = FakeInternet::library();
    platform::fake::FakeLibrary library;
    platform::fake::installLibrary("WinINet", &library);
    // Only the entry points before the i-th exist: the i-th is reported.
    for (std::size_t i = 0; i < std::size(lookUpOrder); ++i) {
        SCOPED_TRACE(lookUpOrder[i]);
        library.entryPoints.clear();
        for (std::size_t k = 0; k < i; ++k) library.entryPoints[lookUpOrder[k]] = complete.entryPoints[lookUpOrder[k]];
        answer = post();
        EXPECT_FALSE(answer.answered);
        EXPECT_EQ(answer.code, -1);
        EXPECT_EQ(answer.text, std::string("Kunde inte hitta funktionen ") + lookUpOrder[i] + " i WinInet.dll");
    }
    EXPECT_TRUE(fakeInternet().calls.empty()) << "an entry point was called before the binding was complete";
    EXPECT_EQ(library.loads, 1) << "the library is loaded once and kept";
    EXPECT_EQ(bodiesBuilt, 0);

    library.entryPoints = complete.entryPoints;
    fakeInternet().response = "0";
    EXPECT_TRUE(post().answered);

    // Bound for good: no further loading or look-up.
    library.entryPoints.clear();
    platform::fake::removeLibraries();
    fakeInternet() = {};
    fakeInternet().response = "0";
    EXPECT_TRUE(post().answered);
    EXPECT_EQ(library.loads, 1);
}

class BoundWinInet : public WinInetBindingTest {
protected:
    BoundWinInet() { platform::fake::installLibrary("WinINet", &library); }

    platform::fake::FakeLibrary library = FakeInternet::library();
};

TEST_F(BoundWinInet, PostsTheFormWithBoundedStepsAndClosesRequestConnectionAndSession) {
    fakeInternet().response = "0\r\n5\r\n";
    platform::HttpAnswer answer = post();
    EXPECT_TRUE(answer.answered);
    EXPECT_EQ(answer.text, "0\r\n5\r\n");

    const FakeInternet& f = fakeInternet();
    EXPECT_EQ(f.agent, "SpelHttp");
    EXPECT_EQ(f.host, "kvippa.example");
    EXPECT_EQ(f.port, 8080);
    EXPECT_EQ(f.service, 3u);
    EXPECT_EQ(f.verb, "POST");
    EXPECT_EQ(f.path, "/r0002.asp");
    EXPECT_EQ(f.headers, "Content-Type: application/x-www-form-urlencoded");
    EXPECT_EQ(f.headersLength, 47u);
    EXPECT_EQ(f.body, "f1=41&f2=4");
    EXPECT_EQ(f.readLimit, 16383u);
    EXPECT_EQ(f.calls, (std::vector<std::string>{"InternetOpenA", "InternetConnectA", "HttpOpenRequestA",
                                                 "InternetSetOptionA", "InternetSetOptionA", "InternetSetOptionA",
                                                 "HttpSendRequestA", "HttpQueryInfoA", "InternetReadFile",
                                                 "InternetCloseHandle", "InternetCloseHandle", "InternetCloseHandle"}));
    // Connect, send and receive time-outs of 10 s, on the request (Wine
    // passes a session's on to no request), and 30 s for sending and reading.
    EXPECT_EQ(f.options, (std::vector<FakeInternet::Option>{
                             {fakeRequest(), 2, 10000}, {fakeRequest(), 5, 10000}, {fakeRequest(), 6, 10000}}));
    EXPECT_EQ(platform::fake::lastTimeLimit(), 30000u);
    EXPECT_EQ(f.closedHandles, (std::vector<void*>{fakeRequest(), fakeConnection(), fakeSession()}));
}

TEST_F(BoundWinInet, OnlyA2xxAnswerIsRead) {
    struct Case {
        std::uint32_t status;
        const char* statusText;
        bool answered;
        const char* text;  // the answer, or the status line kept instead
    };
    const Case cases[] = {
        {200, "OK", true, "0"},
        {204, "No Content", true, "0"},
        {299, "", true, "0"},
        {199, "", false, "HTTP/1.1 199"},
        {300, "Multiple Choices", false, "HTTP/1.1 300 Multiple Choices"},
        {404, "Not Found", false, "HTTP/1.1 404 Not Found"},
        {500, "Internal Server Error", false, "HTTP/1.1 500 Internal Server Error"},
        {503, "Service Unavailable", false, "HTTP/1.1 503 Service Unavailable"},
        // What Wine reports for a reset connection or an answer without a status line.
        {0, "", false, "Servern gav inget HTTP-svar"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        fakeInternet() = {};
        fakeInternet().status = c.status;
        fakeInternet().statusText = c.statusText;
        fakeInternet().response = "0";
        platform::HttpAnswer answer = post();
        EXPECT_EQ(answer.answered, c.answered);
        EXPECT_EQ(answer.code, c.answered ? 0 : -4);
        EXPECT_EQ(answer.text, c.text);
        const auto& calls = fakeInternet().calls;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "InternetReadFile"), c.answered ? 1 : 0);
        EXPECT_EQ(fakeInternet().closedHandles.size(), 3u);
    }
}

TEST_F(BoundWinInet, AnExchangeThatRunsOutOfTimeFailsAndIsLeftToCloseWhatItStillUses) {
    platform::fake::holdWork(true);
    platform::HttpAnswer answer = post();
    EXPECT_FALSE(answer.answered);
    EXPECT_EQ(answer.code, 12002);
    EXPECT_EQ(answer.text, "Servern svarade inte inom 30 sekunder");
    EXPECT_EQ(bodiesBuilt, 1);
    // Only the request is closed at once, to abort a call blocked on it.
    EXPECT_EQ(fakeInternet().closedHandles, std::vector<void*>{fakeRequest()});

    // The blocked thread, once it gets on, sends nothing more on the closed
    // request and closes the connection and the session.
    fakeInternet().calls.clear();
    platform::fake::runHeldWork();
    EXPECT_EQ(fakeInternet().calls, (std::vector<std::string>{"InternetCloseHandle", "InternetCloseHandle"}));
    EXPECT_EQ(fakeInternet().closedHandles, (std::vector<void*>{fakeRequest(), fakeConnection(), fakeSession()}));
}

TEST_F(BoundWinInet, AnAnswerLongerThanOneReadIsCut) {
    fakeInternet().response = std::string(20000, '7');
    EXPECT_EQ(post().text, std::string(16383, '7'));
}

TEST_F(BoundWinInet, AFailedStepIsNeverAnAnswer) {
    struct Case {
        const char* what;
        void (*script)(FakeInternet&);
        std::uint32_t failedCallError;
        std::uint32_t responseInfoError;
        std::int32_t code;
        bool bodyBuilt;
        bool read;
    };
    const Case cases[] = {
        {"session, library explains", [](FakeInternet& f) { f.openFails = true; }, 0, 12007, 12007, false, false},
        {"connection refused, only the system explains", [](FakeInternet& f) { f.connectFails = true; }, 12029, 0,
         12029, false, false},
        {"no request", [](FakeInternet& f) { f.requestFails = true; }, 12002, 0, 12002, true, false},
        {"send, only the system explains", [](FakeInternet& f) { f.sendFails = true; }, 12029, 0, 12029, true, false},
        {"send, nobody explains", [](FakeInternet& f) { f.sendFails = true; }, 0, 0, -2, true, false},
        {"no status", [](FakeInternet& f) { f.statusQueryFails = true; }, 12150, 0, 12150, true, false},
        {"read, library explains", [](FakeInternet& f) { f.readFails = true; }, 6, 12002, 12002, true, true},
        {"read, nobody explains", [](FakeInternet& f) { f.readFails = true; }, 0, 0, -2, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fakeInternet() = {};
        c.script(fakeInternet());
        fakeInternet().failedCallError = c.failedCallError;
        fakeInternet().responseInfoError = c.responseInfoError;
        fakeInternet().responseInfoText = "svar";
        fakeInternet().response = "0";
        bodiesBuilt = 0;
        platform::HttpAnswer answer = post();
        EXPECT_FALSE(answer.answered);
        EXPECT_EQ(answer.code, c.code);
        EXPECT_EQ(answer.text, "svar");
        EXPECT_EQ(bodiesBuilt, c.bodyBuilt ? 1 : 0) << "the body is built once the connection is open";
        const auto& calls = fakeInternet().calls;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "InternetReadFile"), c.read ? 1 : 0)
            << "a request that was not sent is not read";
        const auto& closed = fakeInternet().closedHandles;
        EXPECT_EQ(std::count(closed.begin(), closed.end(), fakeSession()), fakeInternet().openFails ? 0 : 1)
            << "an opened session is closed, also when the connection fails";
    }
}

TEST_F(BoundWinInet, TheLibrarysFailureTextIsCutTo127Characters) {
    fakeInternet().connectFails = true;
    fakeInternet().responseInfoError = 12007;
    fakeInternet().responseInfoText = std::string(127, 'x') + "yz";
    EXPECT_EQ(post().text, std::string(127, 'x'));
}

}  // namespace
