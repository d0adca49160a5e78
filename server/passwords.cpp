#include "server/passwords.h"

#include <sodium.h>

#include <cstring>
#include <semaphore>
#include <stdexcept>
#include <thread>

#include "server/metrics.h"

namespace {

std::counting_semaphore<>& hashingSlots() {
    static std::counting_semaphore<> slots(static_cast<std::ptrdiff_t>(HashingSlot::count()));
    return slots;
}

// Records past this many are dropped all at once: a flood of new names
// costs their checks again, never unbounded memory.
constexpr std::size_t maxRecords = 100000;

}  // namespace

bool initialisePasswords() { return sodium_init() >= 0; }

HashingBusy::HashingBusy() : std::runtime_error("no turn at hashing a password came within the wait") {}

HashingSlot::HashingSlot() {
    auto asked = std::chrono::steady_clock::now();
    bool got = hashingSlots().try_acquire_for(hashingWait);
    serviceMetrics().waited(Wait::hashing, std::chrono::steady_clock::now() - asked);
    if (!got) throw HashingBusy();
}

HashingSlot::~HashingSlot() { hashingSlots().release(); }

std::size_t HashingSlot::count() { return std::max(1u, std::thread::hardware_concurrency()); }

std::string hashPassword(std::string_view password) {
    char hash[crypto_pwhash_STRBYTES];
    HashingSlot slot;
    if (crypto_pwhash_str_alg(hash, password.data(), password.size(), passwordPasses, passwordMemoryBytes,
                              crypto_pwhash_ALG_ARGON2ID13) != 0) {
        throw std::runtime_error("out of memory for hashing a password");
    }
    return hash;
}

bool verifyPassword(const std::string& hash, std::string_view password) {
    HashingSlot slot;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::size_t PasswordChecker::KeyHash::operator()(const Key& key) const {
    std::size_t value;
    std::memcpy(&value, key.data(), sizeof value);
    return value;
}

PasswordChecker::PasswordChecker(std::chrono::seconds lifetime) : lifetime_(lifetime) {
    randombytes_buf(secret_.data(), secret_.size());
}

bool PasswordChecker::check(std::string_view nameKey, std::string_view password, const std::string& storedHash) {
    Key key = keyOf(nameKey, password, storedHash);
    if (remembered(key)) return true;
    if (!verifyPassword(storedHash, password)) return false;
    remember(key);
    return true;
}

PasswordChecker::Key PasswordChecker::keyOf(std::string_view nameKey, std::string_view password,
                                            const std::string& storedHash) const {
    // Each part with its length first, so that no two triples run together alike.
    crypto_generichash_state state;
    crypto_generichash_init(&state, secret_.data(), secret_.size(), 32);
    for (std::string_view part : {nameKey, password, std::string_view(storedHash)}) {
        std::uint64_t length = part.size();
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(&length), sizeof length);
        crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(part.data()), part.size());
    }
    Key key;
    crypto_generichash_final(&state, key.data(), key.size());
    return key;
}

bool PasswordChecker::remembered(const Key& key) {
    std::lock_guard lock(mutex_);
    auto found = verified_.find(key);
    if (found == verified_.end()) return false;
    if (Clock::now() < found->second) return true;
    verified_.erase(found);
    return false;
}

void PasswordChecker::remember(const Key& key) {
    std::lock_guard lock(mutex_);
    if (verified_.size() >= maxRecords) {
        std::erase_if(verified_, [now = Clock::now()](const auto& record) { return record.second <= now; });
        if (verified_.size() >= maxRecords) verified_.clear();
    }
    verified_[key] = Clock::now() + lifetime_;
}
