// A SQLite file of its own for every test, removed when the program's tests
// are done.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "backend.h"

namespace {

std::vector<std::string>& files() {
    static std::vector<std::string> paths;
    return paths;
}

void removeDatabase(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
}

class RemoveFiles : public testing::Environment {
public:
    void TearDown() override {
        for (const std::string& path : files()) removeDatabase(path);
    }
};

const auto* registered = testing::AddGlobalTestEnvironment(new RemoveFiles);

}  // namespace

std::string freshDatabaseUrl() {
    std::string path = testing::TempDir() + "zifra-server-test-" + std::to_string(getpid()) + "-" +
                       std::to_string(files().size()) + ".db";
    // A program that was killed leaves its files, and process ids come
    // round again: the name alone does not make the file fresh.
    removeDatabase(path);
    files().push_back(path);
    return "sqlite:" + path;
}

const char* backendName() { return "SQLite"; }
