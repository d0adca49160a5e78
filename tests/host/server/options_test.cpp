// The command line and the builds file.
#include <gtest/gtest.h>

#include "server/known_builds.h"
#include "server/server_options.h"

namespace {

TEST(ServerOptions, TakesTheListedOptionsAndNamesTheFirstFault) {
    auto defaults = parseServerOptions({});
    EXPECT_EQ(defaults.fault, "");
    EXPECT_EQ(defaults.options.host, "127.0.0.1");
    EXPECT_EQ(defaults.options.port, 8080);
    EXPECT_EQ(defaults.options.databaseUrl, "sqlite:zifra-competition.db");
    EXPECT_FALSE(defaults.options.buildsFile);
    EXPECT_EQ(defaults.options.version, 3);
    EXPECT_FALSE(defaults.options.site);
    EXPECT_EQ(defaults.options.connectionsPerAddress, 32u);

    auto all = parseServerOptions({"--listen", "[::1]:0", "--db", "postgresql://zifra@db/zifra", "--builds",
                                   "builds.txt", "--version", "5", "--site", "https://www.kvippa.example",
                                   "--connections-per-address", "0"});
    EXPECT_EQ(all.fault, "");
    EXPECT_EQ(all.options.host, "::1");
    EXPECT_EQ(all.options.port, 0);
    EXPECT_EQ(all.options.databaseUrl, "postgresql://zifra@db/zifra");
    EXPECT_EQ(all.options.buildsFile, "builds.txt");
    EXPECT_EQ(all.options.version, 5);
    EXPECT_EQ(all.options.site, "https://www.kvippa.example");
    EXPECT_EQ(all.options.connectionsPerAddress, 0u);
    EXPECT_TRUE(parseServerOptions({"--help"}).options.help);

    const std::pair<std::vector<std::string>, std::string> faults[] = {
        {{"--port", "80"}, "unknown option --port (see --help)"},
        {{"--listen"}, "--listen needs a value (see --help)"},
        {{"--listen", "8080"}, "--listen takes ADDRESS:PORT, not 8080"},
        {{"--listen", "localhost:65536"}, "--listen takes ADDRESS:PORT, not localhost:65536"},
        {{"--db", "mysql://x"}, "--db takes sqlite:PATH or postgresql://..., not mysql://x"},
        {{"--version", "3b"}, "--version takes a whole number, not 3b"},
        {{"--connections-per-address", "-1"}, "--connections-per-address takes a whole number, not -1"},
    };
    for (const auto& [arguments, fault] : faults) EXPECT_EQ(parseServerOptions(arguments).fault, fault);
}

TEST(ServerOptions, TheSiteIsASchemeAHostAndAtMostAPort) {
    const std::pair<std::string, std::string> good[] = {
        {"http://kvippa.example", "http://kvippa.example"},
        {"https://www.kvippa.example/", "https://www.kvippa.example"},
        {"http://Kvippa-2.example:8080", "http://Kvippa-2.example:8080"},
        {"http://127.0.0.1:47831", "http://127.0.0.1:47831"},
        {"http://[::1]:8080", "http://[::1]:8080"},
        {"https://[2001:db8::1]", "https://[2001:db8::1]"},
    };
    for (const auto& [value, site] : good) {
        auto parsed = parseServerOptions({"--site", value});
        EXPECT_EQ(parsed.fault, "") << value;
        EXPECT_EQ(parsed.options.site, site) << value;
    }
    for (const char* bad : {"kvippa.example", "ftp://kvippa.example", "HTTP://kvippa.example", "http://", "http:///",
                            "http://kvippa.example/reset", "http://kvippa.example?x=1", "http://kvippa.example#x",
                            "http://evil.example@kvippa.example", "http://kvippa example", "http://kvippa.example:",
                            "http://kvippa.example:0", "http://kvippa.example:65536", "http://kvippa.example:80x",
                            "http://[::1", "http://[]:80", "http://[::1]x", "http://[::g]"}) {
        EXPECT_EQ(parseServerOptions({"--site", bad}).fault,
                  std::string("--site takes http://HOST[:PORT] or https://HOST[:PORT], not ") + bad);
    }
}

TEST(ServerOptions, WithoutASiteTheListeningAddressIsIt) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"127.0.0.1", 8080, "http://127.0.0.1:8080"},
        {"kvippa.example", 80, "http://kvippa.example"},
        {"::1", 8080, "http://[::1]:8080"},
        {"::", 80, "http://[::]"},
    };
    for (const auto& [host, port, site] : cases) EXPECT_EQ(listeningSite(host, port), site) << host;
}

TEST(KnownBuilds, ReadsCrcAndSizeLinesAndNamesTheFaultyLine) {
    KnownBuilds builds = KnownBuilds::fromText("# zifra.exe builds\n3395655888 3\r\n\n12 4294967295\n", "builds.txt");
    EXPECT_EQ(builds.size(), 2u);
    EXPECT_TRUE(builds.contains(3395655888u, 3));
    EXPECT_TRUE(builds.contains(12, 4294967295u));
    EXPECT_FALSE(builds.contains(3395655888u, 4));

    for (const char* bad : {"1 2 3\n", "12\n", "-1 5\n", "4294967296 1\n", "x y\n"}) {
        try {
            KnownBuilds::fromText(std::string("1 1\n") + bad, "builds.txt");
            ADD_FAILURE() << bad;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()).rfind("builds.txt:2: ", 0), 0u) << error.what();
        }
    }
    EXPECT_THROW(KnownBuilds::fromFile("/nonexistent/builds.txt"), std::runtime_error);
}

}  // namespace
