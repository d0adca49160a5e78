// The run-time binding, from a missing library to a complete binding that is
// kept. One process-wide binding, so the steps run as one story, in order.
#include <gtest/gtest.h>

#include <iterator>

#include "build_settings.h"
#include "fake_internet.h"
#include "net/http_binding.h"

namespace {

constexpr const char* lookUpOrder[] = {
    "InternetOpenA",    "InternetConnectA", "InternetReadFile",   "InternetGetLastResponseInfoA",
    "HttpOpenRequestA", "HttpSendRequestA", "InternetCloseHandle",
};

TEST(HttpBinding, FailsWithItsMessagesUntilCompleteThenKeepsTheBinding) {
    platform::host::removeLibraries();
    fakeInternet() = {};
    SubmissionRecord record;

    EXPECT_FALSE(openServerConnection(record));
    EXPECT_EQ(record.resultCode, -1);
    EXPECT_EQ(record.message, "Kunde inte hitta WinInet.dll");

    platform::host::FakeLibrary complete = FakeInternet::library();
    platform::host::FakeLibrary library;
    platform::host::installLibrary("WinINet", &library);
    // Only the entry points before the i-th exist: the i-th is reported.
    for (std::size_t i = 0; i < std::size(lookUpOrder); ++i) {
        SCOPED_TRACE(lookUpOrder[i]);
        library.entryPoints.clear();
        for (std::size_t k = 0; k < i; ++k) library.entryPoints[lookUpOrder[k]] = complete.entryPoints[lookUpOrder[k]];
        record = {};
        EXPECT_FALSE(openServerConnection(record));
        EXPECT_EQ(record.resultCode, -1);
        EXPECT_EQ(record.message, std::string("Kunde inte hitta funktionen ") + lookUpOrder[i] + " i WinInet.dll");
    }
    EXPECT_TRUE(fakeInternet().calls.empty()) << "an entry point was called before the binding was complete";
    EXPECT_EQ(library.loads, 1) << "the library is loaded once and kept";

    library.entryPoints = complete.entryPoints;
    record = {};
    ASSERT_TRUE(openServerConnection(record));
    EXPECT_EQ(fakeInternet().agent, "SpelHttp");
    EXPECT_EQ(fakeInternet().host, competitionHost);
    EXPECT_EQ(fakeInternet().port, competitionPort);
    EXPECT_EQ(fakeInternet().service, 3u);
    closeServerConnection();
    EXPECT_EQ(fakeInternet().closedHandles, (std::vector<void*>{fakeConnection(), fakeSession()}));

    // Bound for good: no further loading or look-up.
    library.entryPoints.clear();
    platform::host::removeLibraries();
    fakeInternet() = {};
    ASSERT_TRUE(openServerConnection(record));
    closeServerConnection();
    EXPECT_EQ(fakeInternet().calls, (std::vector<std::string>{"InternetOpenA", "InternetConnectA",
                                                               "InternetCloseHandle", "InternetCloseHandle"}));
    EXPECT_EQ(library.loads, 1);
}

}  // namespace
