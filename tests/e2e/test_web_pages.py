"""The three web pages of the menu "Koppla upp" reach the browser."""

import os
import unittest

from zifra_e2e import wait_until
from zifra_case import ZifraTestCase


def site(host, port=80):
    return f"http://{host}" if int(port) == 80 else f"http://{host}:{port}"


# The build's own settings, as CTest hands them over.
COMPETITION_SITE = site(os.environ["ZIFRA_COMPETITION_HOST"], os.environ["ZIFRA_COMPETITION_PORT"])
MAKER_SITE = site(os.environ["ZIFRA_MAKER_HOST"])


class WebPagesTest(ZifraTestCase):
    def test_menu_opens_the_three_pages(self):
        expected = []
        for downs, address in (
            (2, COMPETITION_SITE + "/index2.htm"),  # "Utmana dina vänner"
            (3, MAKER_SITE + "/"),  # "Besök Zifras hemsida"
            (4, COMPETITION_SITE + "/"),  # "Surfa till Kvippasajten"
        ):
            self.menu("Right", "Right", *["Down"] * downs, "Return")
            expected.append(address)
            wait_until(lambda: len(self.game.opened_addresses()) == len(expected), 20, 0.2, address)
        self.assertEqual(self.game.opened_addresses(), expected)
        # The game goes on.
        first = self.frame().region(0, 10, 333, 150)
        self.wait_for_frame(lambda f: f.region(0, 10, 333, 150) != first, "the tiles to move on", timeout=5)


if __name__ == "__main__":
    unittest.main()
