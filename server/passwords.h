#pragma once
// Passwords are kept only as Argon2id hashes. Every score the game sends
// carries the password, so a check that has passed is remembered for a
// while: keyed by a secret of this process, never holding the password.
#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

// Argon2id with 19 MiB and two passes: a few tens of milliseconds here.
inline constexpr unsigned long long passwordPasses = 2;
inline constexpr std::size_t passwordMemoryBytes = 19 * 1024 * 1024;

// Prepares libsodium; false when it cannot run. Call before anything below.
bool initialisePasswords();

// How long a password waits for a hashing slot. Past it the service says
// "try again later" instead of letting requests pile up behind the hashing.
inline constexpr std::chrono::seconds hashingWait{5};

// No hashing slot came free within hashingWait.
class HashingBusy : public std::runtime_error {
public:
    HashingBusy();
};

// A slot for hashing, held while it lives. Hashing takes its memory and a
// processor for its whole run: more at a time than there are processors
// only queues them in the kernel instead. Throws HashingBusy.
class HashingSlot {
public:
    HashingSlot();
    ~HashingSlot();
    HashingSlot(const HashingSlot&) = delete;
    HashingSlot& operator=(const HashingSlot&) = delete;
    // How many there are: one for each processor.
    static std::size_t count();
};

// A new salted hash of the password (UTF-8). Throws HashingBusy.
std::string hashPassword(std::string_view password);

// True when the password matches the stored hash. Throws HashingBusy.
bool verifyPassword(const std::string& hash, std::string_view password);

// Checks the password against the stored hash, and remembers one that
// passed for `lifetime`. The record's key is a keyed hash of the name, the
// password and the stored hash, under a secret drawn when the object is
// made: a changed password never matches an old record, and nothing kept
// helps anyone who reads the process's memory to learn a password.
class PasswordChecker {
public:
    explicit PasswordChecker(std::chrono::seconds lifetime = std::chrono::minutes(10));
    bool check(std::string_view nameKey, std::string_view password, const std::string& storedHash);

private:
    using Key = std::array<unsigned char, 32>;
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    using Clock = std::chrono::steady_clock;

    Key keyOf(std::string_view nameKey, std::string_view password, const std::string& storedHash) const;
    bool remembered(const Key& key);
    void remember(const Key& key);

    std::array<unsigned char, 32> secret_;
    std::chrono::seconds lifetime_;
    std::mutex mutex_;
    std::unordered_map<Key, Clock::time_point, KeyHash> verified_;
};
