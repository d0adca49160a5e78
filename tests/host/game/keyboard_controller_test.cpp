#include <gtest/gtest.h>

#include "game/keyboard_controller.h"

namespace {

class KeyboardControllerTest : public ::testing::Test {
protected:
    KeyLatches keyLatches;
    KeyboardController controller{keyLatches};
};

TEST_F(KeyboardControllerTest, RightWinsWhenBothArrowsAreHeld) {
    keyLatches.leftPressed = true;
    keyLatches.rightPressed = true;
    controller.poll();
    EXPECT_EQ(controller.horizontal(), +1);
    keyLatches.rightReleased = true;
    controller.poll();
    EXPECT_EQ(controller.horizontal(), -1);
}

TEST_F(KeyboardControllerTest, APressAndReleaseBetweenPollsIsNeverSeen) {
    keyLatches.firePressed = true;
    keyLatches.fireReleased = true;
    controller.poll();
    EXPECT_EQ(controller.fire(), 0);
    EXPECT_FALSE(keyLatches.firePressed);
}

TEST_F(KeyboardControllerTest, AHeldKeyCountsUntilThePollAfterItsRelease) {
    keyLatches.firePressed = true;
    for (int i = 0; i < 3; ++i) {
        controller.poll();
        EXPECT_EQ(controller.fire(), 1);
    }
    keyLatches.fireReleased = true;
    controller.poll();
    EXPECT_EQ(controller.fire(), 0);
}

TEST_F(KeyboardControllerTest, ClearKeysDropsEveryLatch) {
    keyLatches = {true, true, true, true, true, true, true, true, true, true};
    controller.clearKeys();
    controller.poll();
    EXPECT_EQ(controller.fire(), 0);
    EXPECT_EQ(controller.horizontal(), 0);
    EXPECT_FALSE(keyLatches.upPressed);
    EXPECT_FALSE(keyLatches.downReleased);
}

}  // namespace
