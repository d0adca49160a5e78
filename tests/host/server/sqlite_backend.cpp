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

class RemoveFiles : public testing::Environment {
public:
    void TearDown() override {
        for (const std::string& path : files()) {
            for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
        }
    }
};

const auto* registered = testing::AddGlobalTestEnvironment(new RemoveFiles);

}  // namespace

std::string freshDatabaseUrl() {
    std::string path = testing::TempDir() + "zifra-server-test-" + std::to_string(getpid()) + "-" +
                       std::to_string(files().size()) + ".db";
    files().push_back(path);
    return "sqlite:" + path;
}

const char* backendName() { return "SQLite"; }
