"""What the end-to-end scenarios know about the game's window and screen.

Each test case runs one zifra.exe (see zifra_e2e.Game), reads its client
area from screenshots and answers its dialogs by clicking their buttons.
Configured through the environment that CTest sets: ZIFRA_EXE, ZIFRA_WINE_RUN,
ZIFRA_E2E_PREFIX, ZIFRA_E2E_WORKDIR.
"""

import os
import time
import unittest

from zifra_e2e import Game, TimedOut, WINDOW_TITLE, wait_until

CLIENT_WIDTH = 400
CLIENT_HEIGHT = 300
PLAYFIELD_GREEN = (102, 204, 102)
BLACK = (0, 0, 0)

# Dialog templates: size and button rectangles in dialog units.
PROMPT = {"size": (142, 53), "Ja": (7, 32, 50, 14), "Nej": (85, 32, 50, 14), "text": (7, 7, 122, 22)}
INFORMATION = {"size": (263, 170), "OK": (105, 149, 50, 14), "text": (7, 7, 249, 124)}

# Readouts on the side panel, as client rectangles around their anchors.
LEVEL_READOUT = (338, 10, 60, 26)
SCORE_READOUT = (338, 52, 60, 26)
LIVES_READOUT = (338, 94, 60, 26)


def column_runs(columns, gap):
    """Sorted columns grouped into [first, last] runs whose neighbours lie at
    most `gap` apart."""
    runs = []
    for x in columns:
        if runs and x - runs[-1][1] <= gap:
            runs[-1][1] = x
        else:
            runs.append([x, x])
    return runs


def is_green(rgb):
    return rgb == PLAYFIELD_GREEN


class Frame:
    """The client area of one screenshot."""

    def __init__(self, shot, origin):
        self.shot = shot
        self.left, self.top = origin

    def pixel(self, x, y):
        return self.shot.pixel(self.left + x, self.top + y)

    def region(self, x, y, width, height):
        """The rectangle's pixels, for comparing two frames."""
        return tuple(self.pixel(x + i, y + j) for j in range(height) for i in range(width))

    def find(self, x, y, width, height, predicate):
        return [
            (px - self.left, py - self.top)
            for (px, py) in self.shot.find(self.left + x, self.top + y, width, height, predicate)
        ]

    def servobot_left(self):
        """Left edge of the Servobot (35 wide) in its row, or None while it is
        not drawn; narrower things there (falling impulses) are passed over."""
        columns = sorted({x for (x, _) in self.find(0, 276, 333, 12, lambda rgb: not is_green(rgb))})
        wide = [left for left, right in column_runs(columns, gap=3) if right - left >= 20]
        return wide[0] if wide else None


class ZifraTestCase(unittest.TestCase):
    def setUp(self):
        self.game = Game(
            os.environ["ZIFRA_EXE"],
            os.environ["ZIFRA_WINE_RUN"],
            os.environ["ZIFRA_E2E_PREFIX"],
            os.environ["ZIFRA_E2E_WORKDIR"],
        )
        self.game.__enter__()
        self.addCleanup(self.game.close)
        # The first start of a fresh prefix initialises it: allow for that.
        self.window = self.game.find_window(WINDOW_TITLE, timeout=180)
        self.wait_for_frame(lambda f: is_green(f.pixel(200, 2)), "the first drawn frame", timeout=30)
        self.game.focus(self.window)

    # -- reading the screen ----------------------------------------------

    def client_origin(self):
        x, y, width, height = self.game.geometry(self.window)
        # The X window holds the menu bar above the client area.
        return x, y + height - CLIENT_HEIGHT

    def frame(self):
        return Frame(self.game.screenshot(), self.client_origin())

    def wait_for_frame(self, predicate, what, timeout=20):
        return wait_until(lambda: (lambda f: f if predicate(f) else None)(self.frame()), timeout, 0.05, what)

    def readouts(self, frame):
        return tuple(frame.region(*r) for r in (LEVEL_READOUT, SCORE_READOUT, LIVES_READOUT))

    # -- acting ----------------------------------------------------------

    def score_some_points(self):
        """Fires until the score readout changes (the Vaktor above wears away first)."""
        start = self.frame().region(*SCORE_READOUT)
        self.game.key_down("space")
        try:
            self.wait_for_frame(lambda f: f.region(*SCORE_READOUT) != start, "a score", timeout=40)
        finally:
            self.game.key_up("space")

    def hold(self, key, seconds):
        self.game.key_down(key)
        try:
            time.sleep(seconds)
        finally:
            self.game.key_up(key)

    def menu(self, *keys):
        """Keys after F10, which selects the first menu of the bar."""
        self.game.focus(self.window)
        self.game.key("F10", *keys, delay_ms=150)

    def dialog(self, title, timeout=20):
        return self.game.find_window(title, timeout=timeout)

    def control_box(self, dialog, template, control):
        """(left, top, width, height) on the screen of a control, from the
        place its template gives it."""
        x, y, width, height = self.game.geometry(dialog)
        units_x, units_y = template["size"]
        cx, cy, cw, ch = template[control]
        return (round(x + cx * width / units_x), round(y + cy * height / units_y),
                round(cw * width / units_x), round(ch * height / units_y))

    def click_button(self, dialog, template, button):
        """Clicks a dialog button at the place its template gives it."""
        left, top, width, height = self.control_box(dialog, template, button)
        self.game.click(left + width / 2, top + height / 2)

    def wait_closed(self, title, timeout=10):
        wait_until(lambda: not self.game.window_exists(title), timeout, 0.1, f'"{title}" to close')

    def assert_ends_cleanly(self):
        """The program ends by itself with exit code 0 and leaves no process."""
        self.assertEqual(self.game.exit_code(timeout=20), 0)
        wait_until(lambda: not self.game.wine_processes(), 30, 0.5, "every process of the prefix to end")
