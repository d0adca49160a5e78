#include <gtest/gtest.h>
#include <unistd.h>

#include "backend.h"

std::string freshDatabaseUrl() {
    static int count = 0;
    std::string path = testing::TempDir() + "zifra-server-test-" + std::to_string(getpid()) + "-" +
                       std::to_string(++count) + ".db";
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
    return "sqlite:" + path;
}

const char* backendName() { return "SQLite"; }
