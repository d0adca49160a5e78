// /download/ gives regular files of its folder only: a link put there, by
// mistake or by whoever could write one, shows nothing beyond it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "server/download_files.h"

namespace {

TEST(DownloadFiles, OnlyRegularFilesInsideTheFolderWithoutLinks) {
    std::filesystem::path root = testing::TempDir() + "zifra-download-" + std::to_string(getpid());
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "download" / "old");
    std::filesystem::create_directories(root / "secret");
    std::ofstream(root / "download" / "zifra.exe") << "MZ game";
    std::ofstream(root / "download" / "old" / "zifra2.exe") << "MZ old";
    std::ofstream(root / "download" / ".hidden") << "x";
    std::ofstream(root / "secret" / "key.txt") << "secret";
    std::filesystem::create_symlink(root / "secret" / "key.txt", root / "download" / "key.txt");
    std::filesystem::create_directory_symlink(root / "secret", root / "download" / "inside");
    ASSERT_EQ(mkfifo((root / "download" / "pipe").c_str(), 0600), 0);

    const std::pair<const char*, const char*> cases[] = {
        {"zifra.exe", "MZ game"},
        {"old/zifra2.exe", "MZ old"},
        {"key.txt", nullptr},  // a link to a file
        {"inside/key.txt", nullptr},  // through a linked folder
        {"../secret/key.txt", nullptr},
        {"old/../zifra.exe", nullptr},
        {".hidden", nullptr},
        {"pipe", nullptr},
        {"old", nullptr},
        {"old/", nullptr},
        {"", nullptr},
        {"nothing.exe", nullptr},
    };
    for (const auto& [path, content] : cases) {
        SCOPED_TRACE(path);
        auto answer = downloadAnswer(root / "download", path);
        ASSERT_EQ(answer.has_value(), content != nullptr);
        if (!answer) continue;
        ASSERT_TRUE(answer->file);
        std::string got(answer->file->second, '\0');
        EXPECT_EQ(pread(answer->file->first, got.data(), got.size(), 0), static_cast<ssize_t>(got.size()));
        close(answer->file->first);
        EXPECT_EQ(got, content);
        EXPECT_EQ(answer->contentType, "application/octet-stream");
    }
    std::filesystem::remove_all(root);
}

}  // namespace
