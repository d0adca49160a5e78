"""Keys reach the game: the Servobot moves, Space launches signals."""

import time
import unittest

from zifra_case import ZifraTestCase, is_green

# The first Vaktor figure's hit box, which the player's own signals wear
# down when fired from the Servobot's start below it.
FIRST_VAKTOR = (30, 215, 37, 30)


class PlayTest(ZifraTestCase):
    def settled_servobot(self):
        """The Servobot's left edge once it is drawn in two frames alike."""
        previous = [None]

        def settled(frame):
            left = frame.servobot_left()
            same = left is not None and left == previous[0]
            previous[0] = left
            return same

        return self.wait_for_frame(settled, "the Servobot to stand still").servobot_left()

    def test_holding_right_moves_the_servobot_right(self):
        time.sleep(2)  # out of the blinking start
        start = self.settled_servobot()  # the Servobot's x is 30 here
        self.hold("Right", 1.0)
        moved = self.settled_servobot()
        # 4 pixels a frame, for about 25 frames.
        self.assertGreaterEqual(moved - start, 40, f"from {start} to {moved}")
        self.assertEqual((moved - start) % 4, 0, f"from {start} to {moved}")
        # Held on, it stops at x = 294, left of the divider.
        self.hold("Right", 2.5)
        self.assertEqual(self.settled_servobot() - start, 294 - 30)

    def test_space_launches_signals(self):
        def not_green(x, y, width, height):
            return lambda frame: frame.find(x, y, width, height, lambda rgb: not is_green(rgb))

        vaktor = not_green(*FIRST_VAKTOR)
        # Signals start at the Servobot's x + 10 and are 9 wide; the rest of
        # the Vaktor's box beside that column.
        signal_column = not_green(40, 190, 9, 75)
        beside_signal = lambda f: not_green(30, 215, 10, 30)(f) or not_green(49, 215, 18, 30)(f)

        self.assertTrue(vaktor(self.frame()), "the first Vaktor stands")
        self.game.key_down("space")
        try:
            # Each signal from the start position hits the Vaktor above:
            # eleven hits make it vanish, and then signals stream up past it.
            self.wait_for_frame(lambda f: signal_column(f) and not beside_signal(f), "a signal where the Vaktor stood", timeout=15)
        finally:
            self.game.key_up("space")
        time.sleep(1.5)  # the last signal has gone
        self.assertFalse(vaktor(self.frame()), "the first Vaktor is gone")


if __name__ == "__main__":
    unittest.main()
