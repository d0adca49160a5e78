#include "server/verification_workers.h"

#include <algorithm>
#include <cstdio>
#include <exception>

VerificationWorkers::VerificationWorkers(ScoreProofs& proofs, std::size_t count) : proofs_(proofs) {
    for (std::size_t i = 0; i < std::max<std::size_t>(count, 1); ++i) threads_.emplace_back([this] { work(); });
}

VerificationWorkers::~VerificationWorkers() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    woken_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void VerificationWorkers::wake() {
    {
        std::lock_guard lock(mutex_);
        queued_ = true;
    }
    woken_.notify_one();
}

void VerificationWorkers::work() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        // Cleared before the look, so that one queued during it is looked for again.
        queued_ = false;
        lock.unlock();
        bool found = false;
        try {
            found = proofs_.verifyNext();
        } catch (const std::exception& error) {
            // The database is away: the replay stays queued, claimed or not,
            // and is taken again later.
            std::fprintf(stderr, "zifra-server: verifying a replay: %s\n", error.what());
        }
        lock.lock();
        if (found) continue;
        woken_.wait_for(lock, idleLook, [&] { return stopping_ || queued_; });
    }
}
