#pragma once
// The player's intent, read once per frame: a horizontal direction and a
// fire flag. The keyboard controller samples the key latches that the
// player's key events set.
#include <cstdint>

#include "game/key_latches.h"

class Controller {
public:
    // Samples the input source into the controller's fields.
    virtual void poll() = 0;
    virtual ~Controller() = default;
};

class KeyboardController : public Controller {
public:
    explicit KeyboardController(KeyLatches& latches) : latches_(latches) {}

    // Releases keys whose key-up has arrived, then reads what is still down.
    void poll() override;

    // All latches false, so keys of an earlier game do not carry over.
    void clearKeys();

    std::int32_t fire() const { return fire_; }              // 1 while Space counts as down
    std::int32_t horizontal() const { return horizontal_; }  // -1 Left, +1 Right (Right wins), 0 neither

private:
    KeyLatches& latches_;
    std::int32_t fire_ = 0;
    std::int32_t horizontal_ = 0;
};
