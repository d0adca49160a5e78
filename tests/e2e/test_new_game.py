"""F1 starts a new game, read from the panel's readouts."""

import os
import time
import unittest

from zifra_case import SCORE_READOUT, ZifraTestCase


class NewGameTest(ZifraTestCase):
    def test_f1_brings_back_score_0_level_1_and_4_lives(self):
        start = self.readouts(self.frame())
        # Score: signals wear the Vaktor above the Servobot away, then hit tiles.
        self.game.key_down("space")
        try:
            self.wait_for_frame(lambda f: f.region(*SCORE_READOUT) != start[1], "a score", timeout=40)
        finally:
            self.game.key_up("space")
        time.sleep(0.5)
        self.assertNotEqual(self.readouts(self.frame()), start)
        # The picture of the README: a game with points and a code store.
        self.game.save_screenshot(os.path.join(os.environ["ZIFRA_E2E_WORKDIR"], "screenshot.png"), self.window)

        self.game.key("F1")
        self.wait_for_frame(lambda f: self.readouts(f) == start, "the readouts of a new game", timeout=5)


if __name__ == "__main__":
    unittest.main()
