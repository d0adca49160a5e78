"""Ending the program from the menu and with Alt-F4."""

import unittest

from zifra_case import ZifraTestCase


class QuitTest(ZifraTestCase):
    def test_menu_avsluta(self):
        self.menu("Down", "Down", "Down", "Return")  # "Spel" -> "Avsluta (Alt-F4)"
        self.assert_ends_cleanly()

    def test_alt_f4(self):
        self.game.key("alt+F4")
        self.assert_ends_cleanly()


if __name__ == "__main__":
    unittest.main()
