#pragma once
// A competition service on a fresh database of the test program's backend,
// with a clock the test sets and an outbox of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "net/submission_form.h"
#include "server/competition_service.h"
#include "server/connection_pool.h"

class ServiceFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the service (again) with `settings` as they are now.
    void startService();

    // Signs up through the web form (UTF-8 texts) and confirms through the
    // mailed link; expects it to succeed.
    void signUp(const std::string& email, const std::string& nickname, const std::string& password);

    // A consistent form from a known build, as the game sends it (texts in code page 1252).
    SubmissionForm gameForm(const std::string& userName, const std::string& password, std::int32_t score,
                            std::uint32_t playTime = 600000) const;
    SubmissionAnswer submit(const SubmissionForm& form) { return service->submit(formBody(form)); }

    // The single number a query gives.
    std::int64_t count(const std::string& sql);

    std::string databaseUrl;
    std::filesystem::path outbox;
    std::int64_t now = 1700000000;
    ServiceSettings settings;
    std::unique_ptr<ConnectionPool> pool;
    std::unique_ptr<CompetitionService> service;
};

inline constexpr std::uint32_t knownChecksum = 3395655888u;
inline constexpr std::uint32_t knownSize = 1234567;
