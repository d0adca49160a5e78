// The browser game's files: what /spela/ answers from the game's folder, as
// a function and through the real server.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "backend.h"
#include "server/competition_server.h"
#include "server/pages.h"
#include "server/web_game_files.h"

namespace {

using namespace std::chrono_literals;

class WebGameFolder : public testing::Test {
protected:
    void SetUp() override {
        root = testing::TempDir() + "zifra-web-" + std::to_string(getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(root);
        game = root / "game";
        std::filesystem::create_directories(game / "sub");
        std::filesystem::create_directories(game / ".hidden");
        write(game / "index.html", "<!doctype html>sida");
        write(game / "zifra.wasm", std::string("\0asm\1\0\0\0", 8));
        write(game / "main.js", "export {};");
        write(game / "sub" / "style.css", "body{}");
        write(game / ".hidden" / "x.js", "hemligt");
        write(game / ".secret", "hemligt");
        write(root / "outside.txt", "utanför");
        std::filesystem::create_symlink(root / "outside.txt", game / "link.txt");
        std::filesystem::create_directory_symlink(root, game / "up");
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    static void write(const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::filesystem::path root, game;
};

TEST_F(WebGameFolder, RegularFilesInsideAreServedWithTheirTypes) {
    struct Case {
        const char* path;
        const char* type;
        std::size_t size;
    };
    const Case cases[] = {
        {"", "text/html; charset=utf-8", 19},  // the folder's own address is its page
        {"index.html", "text/html; charset=utf-8", 19},
        {"zifra.wasm", "application/wasm", 8},
        {"main.js", "text/javascript; charset=utf-8", 10},
        {"sub/style.css", "text/css; charset=utf-8", 6},
    };
    for (const Case& c : cases) {
        FileAnswer answer = webGameFile(game, c.path, "");
        EXPECT_EQ(answer.status, 200) << c.path;
        EXPECT_EQ(answer.contentType, c.type) << c.path;
        EXPECT_EQ(answer.body.size(), c.size) << c.path;
        EXPECT_EQ(answer.cacheControl, "no-cache") << c.path;
        EXPECT_FALSE(answer.etag.empty()) << c.path;
    }
}

TEST_F(WebGameFolder, NothingOutsideTheFolderOrBesideItsRegularFiles) {
    const char* refused[] = {
        "../outside.txt", "sub/../../outside.txt", "..", ".", "./index.html", "sub/./style.css",
        ".secret", ".hidden/x.js",  // hidden names
        "link.txt", "up/outside.txt",  // links, to a file and to a folder
        "sub", "sub/", "sub//style.css", "/index.html",  // a folder, empty levels, an absolute path
        "sub\\style.css", "..\\outside.txt", "c:/x", "index.html\n", "missing.js",
    };
    for (const char* path : refused) EXPECT_EQ(webGameFile(game, path, "").status, 404) << path;
    EXPECT_EQ(webGameFile(game, std::string_view("index.html\0.js", 14), "").status, 404);
}

TEST_F(WebGameFolder, AnUnchangedFileIsNotSentAgain) {
    FileAnswer first = webGameFile(game, "zifra.wasm", "");
    FileAnswer again = webGameFile(game, "zifra.wasm", first.etag);
    EXPECT_EQ(again.status, 304);
    EXPECT_TRUE(again.body.empty());
    EXPECT_EQ(again.etag, first.etag);
    // A new build: another tag, and the new bytes.
    write(game / "zifra.wasm", std::string("\0asm\1\0\0\0\0", 9));
    FileAnswer changed = webGameFile(game, "zifra.wasm", first.etag);
    EXPECT_EQ(changed.status, 200);
    EXPECT_NE(changed.etag, first.etag);
    EXPECT_EQ(changed.body.size(), 9u);
}

TEST_F(WebGameFolder, TheServerServesItUnderSpelaAndTheStartPageLinksToIt) {
    ASSERT_TRUE(initialisePasswords());
    ServiceSettings settings;
    settings.outbox = root / "outbox";
    settings.webGame = game;
    CompetitionServer server("127.0.0.1", 0, freshDatabaseUrl(), settings);
    std::thread serving([&] { server.run(); });
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!server.running() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
    httplib::Client client("127.0.0.1", server.port());
    client.set_read_timeout(10);

    auto page = client.Get("/spela/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_EQ(page->get_header_value("Cache-Control"), "no-cache");
    // The game's page runs its own scripts and compiles its module; no other page runs any.
    EXPECT_NE(page->get_header_value("Content-Security-Policy").find("script-src 'self' 'wasm-unsafe-eval'"),
              std::string::npos);
    EXPECT_EQ(client.Get("/")->get_header_value("Content-Security-Policy").find("script-src"), std::string::npos);
    auto module = client.Get("/spela/zifra.wasm");
    ASSERT_TRUE(module);
    EXPECT_EQ(module->get_header_value("Content-Type"), "application/wasm");
    auto unchanged = client.Get("/spela/zifra.wasm", {{"If-None-Match", module->get_header_value("ETag")}});
    ASSERT_TRUE(unchanged);
    EXPECT_EQ(unchanged->status, 304);
    // Percent-encoded climbing is decoded before it is judged.
    for (const char* path : {"/spela/%2e%2e/outside.txt", "/spela/..%2foutside.txt", "/spela/link.txt"}) {
        auto refused = client.Get(path);
        ASSERT_TRUE(refused) << path;
        EXPECT_EQ(refused->status, 404) << path;
    }
    auto bare = client.Get("/spela");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->status, 301);
    EXPECT_EQ(bare->get_header_value("Location"), "/spela/");
    auto start = client.Get("/");
    ASSERT_TRUE(start);
    EXPECT_NE(start->body.find("<a href=\"/spela/\">Spela i webbläsaren</a>"), std::string::npos);
    EXPECT_EQ(startPage(ContestView{}, "kvippa.test", false).markup().find("/spela/"), std::string::npos);

    server.stop();
    serving.join();
}

}  // namespace
