// A PostgreSQL cluster of the test program's own, started at the first test
// that needs it and stopped when the program's tests are done.
#include <gtest/gtest.h>

#include <memory>

#include "backend.h"
#include "scratch_postgres.h"

namespace {

std::unique_ptr<ScratchPostgres>& cluster() {
    static std::unique_ptr<ScratchPostgres> instance;
    return instance;
}

class StopCluster : public testing::Environment {
public:
    void TearDown() override { cluster().reset(); }
};

const auto* registered = testing::AddGlobalTestEnvironment(new StopCluster);

}  // namespace

std::string freshDatabaseUrl() {
    if (!cluster()) cluster() = std::make_unique<ScratchPostgres>(false);
    return cluster()->newDatabase();
}

const char* backendName() { return "PostgreSQL"; }
