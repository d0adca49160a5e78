#include "service_fixture.h"

#include <unistd.h>

#include "backend.h"
#include "mailed_links.h"
#include "server/schema.h"

void ServiceFixture::SetUp() {
    ASSERT_TRUE(initialisePasswords());
    databaseUrl = freshDatabaseUrl();
    static int outboxes = 0;
    outbox = testing::TempDir() + "zifra-outbox-" + std::to_string(getpid()) + "-" + std::to_string(++outboxes);
    std::filesystem::remove_all(outbox);
    settings.outbox = outbox;
    settings.site = "http://kvippa.test:8080";
    settings.clock = [this] { return now; };
    settings.signUpsPerAddress = 0;  // every sign-up here comes from nowhere; the limit has its own cases
    settings.builds = KnownBuilds::fromText(std::to_string(knownChecksum) + " " + std::to_string(knownSize) + "\n",
                                            "test");
    pool = std::make_unique<ConnectionPool>(databaseUrl, 4);
    migrateSchema(*pool->borrow());
    startService();
}

void ServiceFixture::TearDown() {
    service.reset();
    pool.reset();
    std::filesystem::remove_all(outbox);
}

void ServiceFixture::startService() { service = std::make_unique<CompetitionService>(*pool, settings); }

void ServiceFixture::signUp(const std::string& email, const std::string& nickname, const std::string& password) {
    EXPECT_EQ(service->signUp({email, nickname, password, password}).faults, std::vector<std::string>{}) << email;
    for (const std::string& token : mailedTokens(outbox, "confirm.htm", email)) service->confirmEmail(token);
}

SubmissionForm ServiceFixture::gameForm(const std::string& userName, const std::string& password, std::int32_t score,
                                        std::uint32_t playTime) const {
    return {userName, 4, password, score, playTime, 123456, "CPU UNKNOWN", knownChecksum, knownSize};
}

std::int64_t ServiceFixture::count(const std::string& sql) { return sqlInteger(pool->borrow()->query(sql, {})[0][0]); }
