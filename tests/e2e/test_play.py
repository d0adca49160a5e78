"""Keys reach the game: the Servobot moves, Space launches signals; keys for
another program do not."""

import os
import time
import unittest

from zifra_case import ZifraTestCase, is_green

# The first Vaktor figure's hit box, which the player's own signals wear
# down when fired from the Servobot's start below it.
FIRST_VAKTOR = (30, 215, 37, 30)


class PlayTest(ZifraTestCase):
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

    def test_right_let_go_while_alt_is_down_stops_the_servobot(self):
        time.sleep(2)  # out of the blinking start
        start = self.settled_servobot()
        self.game.key_down("Right")
        try:
            time.sleep(0.5)
            self.game.key_down("alt")
            try:
                self.game.key_up("Right")
            finally:
                self.game.key_up("alt")
        finally:
            self.game.key_up("Right")
        # Held for half a second: some 12 steps of 4 pixels, nowhere near
        # the right edge (x = 294), where a Servobot that ran on would stop.
        stopped = self.settled_servobot()
        self.assertGreater(stopped, start)
        self.assertLess(stopped, 200, "Right's key-up came while Alt was down, and was not heard")
        time.sleep(1)
        self.assertEqual(self.settled_servobot(), stopped)

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
        # A standing Vaktor shows in every frame; once it is gone, only a
        # falling impulse passes through its place now and then.
        self.wait_for_frame(lambda f: not vaktor(f), "the first Vaktor gone", timeout=5)


class AwayTest(ZifraTestCase):
    """The player switches to another program of the Wine session (its About
    box) and back, as with Alt-Tab."""

    window_manager = True

    def test_keys_released_or_pressed_while_away_do_not_play(self):
        self.game.start_other_program("winver")
        other = self.game.find_window("^About Wine", exact=False)
        self.game.move(other, 600, 400)  # beside the game's window
        self.game.focus(self.window)
        time.sleep(2)  # out of the blinking start
        start = self.settled_servobot()

        # Right held, and released in the other program; F1 pressed there.
        self.game.key_down("Right")
        try:
            time.sleep(1.0)
            self.game.focus(other)
        finally:
            self.game.key_up("Right")
        self.game.key("F1")
        left_at = self.frame().servobot_left()
        self.assertGreater(left_at, start, "Right moved the Servobot before")

        # Asked to paint again while away (as an uncovered window is), the
        # game shows its picture and goes on waiting.
        probe = self.game.start_other_program(os.environ["ZIFRA_REPAINT_PROBE"])
        self.assertEqual(probe.wait(timeout=60), 0)
        cpu = self.game.cpu_seconds()
        time.sleep(3)
        used = (self.game.cpu_seconds() - cpu) / 3
        print(f"\nprocessor use while another program is active: {used:.1%} of one core")
        self.assertLess(used, 0.02)

        self.game.focus(self.window)
        time.sleep(1)
        # Neither run on to the right edge (294) nor back at the start of a
        # new game (30).
        self.assertEqual(self.settled_servobot(), left_at)


if __name__ == "__main__":
    unittest.main()
