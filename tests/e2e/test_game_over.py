"""Games that end: the questions after them and what their answers do.

Nobody shoots the tiles here, so they win: a Servobot left without a Vaktor
figure above it loses its four lives to the falling impulses in about 20 to
70 seconds (a Servobot left under its Vaktor takes minutes).
"""

import unittest

from zifra_case import BLACK, PROMPT, ZifraTestCase, column_runs

GAME_OVER_TIMEOUT = 180


class GameOverTest(ZifraTestCase):
    def test_yes_to_play_again_starts_a_new_game(self):
        start = self.readouts(self.frame())
        # Into the gap between the first two Vaktor figures (x 66 to 82).
        self.hold("Right", 0.45)

        prompt = self.dialog("Spela Igen", timeout=GAME_OVER_TIMEOUT)
        self.assertFalse(self.game.window_exists("Registrera"), "a game without points offers no high score")
        self.click_button(prompt, PROMPT, "Ja")
        self.wait_closed("Spela Igen")
        self.wait_for_frame(lambda f: self.readouts(f) == start, "the readouts of a new game", timeout=5)

        # Alt-F4 ends the program.
        self.game.focus(self.window)
        self.game.key("alt+F4")
        self.assert_ends_cleanly()

    def test_after_a_scoring_game_the_high_score_question_comes_first(self):
        # Wear the Vaktor above away and score; then stand there unshielded.
        self.score_some_points()

        prompt = self.dialog("Registrera", timeout=GAME_OVER_TIMEOUT)
        self.assertFalse(self.game.window_exists("Spela Igen"))
        self.assert_question_wraps_whole(prompt)
        self.click_button(prompt, PROMPT, "Nej")
        # "Nej" leads straight to the play-again question, and "Nej" there
        # ends the program.
        prompt = self.dialog("Spela Igen", timeout=5)
        self.click_button(prompt, PROMPT, "Nej")
        self.assert_ends_cleanly()

    def assert_question_wraps_whole(self, prompt):
        """The long question stands on two lines inside its field, the lower
        one ending above the field's bottom edge (nothing cut off)."""
        left, top, width, height = self.control_box(prompt, PROMPT, "text")

        def text_rows(frame):
            rows = sorted({y for (_, y) in frame.shot.find(left, top, width, height, lambda rgb: rgb == BLACK)})
            return column_runs(rows, gap=1)

        frame = self.wait_for_frame(lambda f: len(text_rows(f)) == 2, "the question on two lines", timeout=10)
        last_row = text_rows(frame)[-1][1]
        self.assertLess(last_row, top + height - 1, f"the second line reaches the bottom of the field {text_rows(frame)}")


if __name__ == "__main__":
    unittest.main()
