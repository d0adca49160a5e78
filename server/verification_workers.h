#pragma once
// The threads that verify queued replays off the request path: each claims
// a pending replay from the database, plays it again and stores the
// verdict, and sleeps while none waits, waking when one is queued here or,
// for one queued by another server or left by a server that died, at the
// next look.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

#include "server/score_proofs.h"

// How often an idle worker looks in the queue for what it was not told of.
inline constexpr std::chrono::milliseconds idleLook{500};

class VerificationWorkers {
public:
    // Starts `count` threads (at least one).
    VerificationWorkers(ScoreProofs& proofs, std::size_t count);
    // Stops them after the replay each is verifying.
    ~VerificationWorkers();
    VerificationWorkers(const VerificationWorkers&) = delete;
    VerificationWorkers& operator=(const VerificationWorkers&) = delete;

    void wake();

private:
    void work();

    ScoreProofs& proofs_;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool queued_ = false;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
