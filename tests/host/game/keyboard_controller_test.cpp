#include <gtest/gtest.h>

#include "game/keyboard_controller.h"

namespace {

class KeyboardControllerTest : public ::testing::Test {
protected:
    KeyboardControllerTest() { keyLatches = KeyLatches{}; }
    KeyboardController controller;
};

TEST_F(KeyboardControllerTest, RightWinsWhenBothArrowsAreHeld) {
    keyLatches.leftPressed = 1;
    keyLatches.rightPressed = 1;
    controller.poll();
    EXPECT_EQ(controller.horizontal, +1);
    keyLatches.rightReleased = 1;
    controller.poll();
    EXPECT_EQ(controller.horizontal, -1);
}

TEST_F(KeyboardControllerTest, APressAndReleaseBetweenPollsIsNeverSeen) {
    keyLatches.firePressed = 1;
    keyLatches.fireReleased = 1;
    controller.poll();
    EXPECT_EQ(controller.fire, 0);
    EXPECT_EQ(keyLatches.firePressed, 0);
}

TEST_F(KeyboardControllerTest, AHeldKeyCountsUntilThePollAfterItsRelease) {
    keyLatches.firePressed = 1;
    for (int i = 0; i < 3; ++i) {
        controller.poll();
        EXPECT_EQ(controller.fire, 1);
    }
    keyLatches.fireReleased = 1;
    controller.poll();
    EXPECT_EQ(controller.fire, 0);
}

TEST_F(KeyboardControllerTest, ClearKeysDropsEveryLatch) {
    keyLatches = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    KeyboardController::clearKeys();
    controller.poll();
    EXPECT_EQ(controller.fire, 0);
    EXPECT_EQ(controller.horizontal, 0);
    EXPECT_EQ(keyLatches.upPressed, 0);
    EXPECT_EQ(keyLatches.downReleased, 0);
}

}  // namespace
