"""The information dialog from the menu, in front of a running game."""

import unittest

from zifra_case import INFORMATION, ZifraTestCase

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
LIGHT_GREY = (192, 192, 192)


def text_lines(shot, left, top, width, height):
    """Top rows of the lines of black text."""
    lines = []
    previous = False
    for y in range(top, top + height):
        ink = any(shot.pixel(x, y) == BLACK for x in range(left, left + width))
        if ink and not previous:
            lines.append(y)
        previous = ink
    return lines


class InformationTest(ZifraTestCase):
    def test_game_rules_show_and_ok_goes_back_to_the_game(self):
        self.menu("Down", "Down", "Return")  # "Spel" -> "Spelregler"
        dialog = self.dialog("Information")

        # The read-only text: black on white over the light-grey brush.
        x, y, width, height = self.game.geometry(dialog)
        units_x, units_y = INFORMATION["size"]
        tx, ty, tw, th = INFORMATION["text"]
        box = (int(x + tx * width / units_x) + 4, int(y + ty * height / units_y) + 4,
               int(tw * width / units_x) - 30, int(th * height / units_y) - 8)
        shot = self.wait_for_frame(lambda f: text_lines(f.shot, *box), "the text to be drawn").shot
        colours = {shot.pixel(px, py) for px in range(box[0], box[0] + box[2]) for py in range(box[1], box[1] + box[3])}
        self.assertIn(WHITE, colours)
        self.assertIn(BLACK, colours)
        self.assertIn(LIGHT_GREY, colours)

        # The game rules open with a title line, an empty line, the line on
        # the keys, an empty line and then a paragraph of several lines.
        lines = text_lines(shot, *box)
        self.assertGreaterEqual(len(lines), 5, lines)
        gaps = [b - a for a, b in zip(lines, lines[1:])]
        pitch = gaps[2]
        for gap, lines_apart in zip(gaps[:3], (2, 2, 1)):
            self.assertAlmostEqual(gap, lines_apart * pitch, delta=2, msg=f"line tops {lines}")

        # "OK" closes it and the game goes on.
        self.click_button(dialog, INFORMATION, "OK")
        self.wait_closed("Information")
        first = self.frame().region(0, 10, 333, 150)
        self.wait_for_frame(lambda f: f.region(0, 10, 333, 150) != first, "the tiles to move on", timeout=5)


if __name__ == "__main__":
    unittest.main()
