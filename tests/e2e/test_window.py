"""The window: its menu bar and the first pictures of the game at start-up,
and the game standing still while the menu is open or the window minimised."""

import os
import time
import unittest

from zifra_case import BLACK, CLIENT_HEIGHT, CLIENT_WIDTH, ZifraTestCase, column_runs, is_green
from zifra_e2e import Game, WINDOW_TITLE

# The first column of the tile area right of the drop-down menu "Spel".
RIGHT_OF_SPEL_MENU = 140
# The block's top row in a new game, until it first meets a wall (in frame
# 71, some 2.8 s of play) and comes down three rows.
NEW_BLOCK_TOP = 10


def dark(rgb):
    return sum(rgb) < 200


class WindowTest(ZifraTestCase):
    def test_window_menu_bar_and_playfield(self):
        print(f"\nstart-up to the first drawn frame: {time.monotonic() - self.game.started_at:.2f} s")
        x, y, width, height = self.game.geometry(self.window)
        menu_height = height - CLIENT_HEIGHT
        self.assertEqual(width, CLIENT_WIDTH)
        self.assertGreater(menu_height, 10, "a menu bar above the 400 x 300 client area")

        frame = self.frame()
        shot = frame.shot
        # The client area starts right under the menu bar: its top row is
        # playfield, the menu bar's last row is not.
        self.assertTrue(all(is_green(frame.pixel(px, 2)) for px in range(0, 333)))
        self.assertTrue(all(is_green(frame.pixel(px, 0)) for px in range(0, 10)))
        self.assertFalse(is_green(frame.pixel(5, -1)))

        # The menu bar shows three captions: three groups of dark text
        # columns, separated by wider gaps, each longer than the one before
        # ("Spel", "Tävling", "Koppla upp").
        columns = [
            cx for cx in range(x, x + width) if any(dark(shot.pixel(cx, cy)) for cy in range(y + 2, y + menu_height - 2))
        ]
        words = column_runs(columns, gap=6)
        self.assertEqual(len(words), 3, f"menu captions at {words}")
        widths = [right - left for left, right in words]
        self.assertEqual(widths, sorted(widths), f"caption widths {widths}")

        # The divider, the side panel and the tiles.
        self.assertTrue(all(frame.pixel(dx, dy) == BLACK for dx in (333, 334) for dy in range(0, 300)))
        panel_colours = {frame.pixel(px, py) for px in range(335, 400, 3) for py in range(0, 300, 3)}
        self.assertGreaterEqual(len(panel_colours), 3, "the side panel picture")
        tile_pixels = frame.find(0, 10, 333, 150, lambda rgb: not is_green(rgb))
        self.assertGreater(len(tile_pixels), 40 * 300, "forty tiles of 28 x 28")

        # The frame pacing waits busily: measured, not judged.
        cpu = self.game.cpu_seconds()
        time.sleep(5)
        print(f"processor use while playing: {(self.game.cpu_seconds() - cpu) / 5:.0%} of one core")

    def test_the_menu_held_open_for_15_s_leaves_the_playfield_as_it_was(self):
        time.sleep(2)
        self.menu("Down")  # "Spel" opened
        time.sleep(1)
        held = self.frame()
        time.sleep(15)
        closing = time.monotonic()
        self.game.key("Escape", "Escape")
        self.assert_nothing_made_up(held, closing, left=RIGHT_OF_SPEL_MENU)

    def test_asked_to_paint_while_the_menu_is_open_it_validates_and_waits(self):
        time.sleep(2)
        self.menu("Down")  # "Spel" opened
        time.sleep(1)
        # As Windows asks when a window over the game's goes away.
        probe = self.game.start_other_program(os.environ["ZIFRA_REPAINT_PROBE"])
        self.assertEqual(probe.wait(timeout=60), 0)
        cpu = self.game.cpu_seconds()
        time.sleep(5)
        used = (self.game.cpu_seconds() - cpu) / 5
        self.game.key("Escape", "Escape")
        print(f"\nprocessor use with the menu open after a request to paint: {used:.1%} of one core")
        self.assertLess(used, 0.05, "a paint message left unvalidated comes again at once")

    def test_restored_after_being_shown_maximised_the_game_goes_on(self):
        # A window without a maximise box can still be shown maximised, and
        # then comes back from a minimise maximised, not restored.
        time.sleep(1)
        self.show_window("maximised", "minimised")
        time.sleep(2)
        self.show_window("restored")
        self.game.focus(self.window)
        shown = self.frame().tile_pixels()
        self.wait_for_frame(lambda f: f.tile_pixels() != shown, "the game to go on", timeout=10)

    def show_window(self, *commands):
        probe = self.game.start_other_program(os.environ["ZIFRA_SHOW_WINDOW_PROBE"], *commands)
        self.assertEqual(probe.wait(timeout=60), 0)


class MinimisedTest(ZifraTestCase):
    window_manager = True

    def test_minimised_for_15_s_the_game_waits_and_goes_on_where_it_was(self):
        time.sleep(2)
        shown = time.monotonic()
        last = self.frame()
        self.game.minimise(self.window)
        ran_before = time.monotonic() - shown
        self.assertFalse(self.game.is_mapped(self.window), "the window is minimised")

        cpu = self.game.cpu_seconds()
        time.sleep(15)
        used = (self.game.cpu_seconds() - cpu) / 15
        print(f"\nprocessor use while minimised: {used:.1%} of one core")
        self.assertLess(used, 0.02, "it waits for the window's news")

        restoring = time.monotonic()
        self.game.focus(self.window)  # the window manager restores it
        self.assertTrue(self.game.is_mapped(self.window))
        self.assert_nothing_made_up(last, restoring, ran_before)


class ShownWithoutActivationTest(ZifraTestCase):
    """Started by a launcher that leaves the player where he was: the window
    is shown but not made active, and no news of activation come."""

    def setUp(self):
        zifra = "Z:" + os.path.abspath(os.environ["ZIFRA_EXE"]).replace("/", "\\")
        self.game = Game(
            os.environ["ZIFRA_LAUNCH_PROBE"],
            os.environ["ZIFRA_WINE_RUN"],
            os.environ["ZIFRA_E2E_PREFIX"],
            os.environ["ZIFRA_E2E_WORKDIR"],
            args=[zifra],
        )
        self.game.__enter__()
        self.addCleanup(self.game.close)
        self.window = self.game.find_window(WINDOW_TITLE, timeout=180)

    def test_the_game_waits_until_its_window_is_made_active(self):
        # Time for two walls' worth of play, had it played unseen.
        time.sleep(6)
        probe = self.game.start_other_program(os.environ["ZIFRA_SHOW_WINDOW_PROBE"], "foreground")
        self.assertEqual(probe.wait(timeout=60), 0)
        frame = self.wait_for_frame(lambda f: is_green(f.pixel(200, 2)), "the first drawn frame", timeout=30)
        top = min(y for _, y in frame.tile_pixels())
        self.assertEqual(top, NEW_BLOCK_TOP, "the block came down while nobody could see it")


if __name__ == "__main__":
    unittest.main()
