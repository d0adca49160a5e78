"""The competition site in a real browser and the game against the real server.

zifra-server runs on 127.0.0.1:ZIFRA_LOOPBACK_PORT, where the loopback build's
zifra.exe sends its scores, with a fresh SQLite file and only that exe's build
known. Headless Chromium (through Selenium and chromedriver) signs a player up,
first with passwords that differ; the game registers a score through its
dialog; the browser finds it on the ten-best list. Then the password help:
the browser asks for a reset link, follows the link from the outbox and sets
a new password; the game's old password is refused (code 2, the game opens
the password page) and the new one accepted.

Runs under Debian's python3, which has Selenium.
"""

import os
import unittest

from selenium.webdriver.common.by import By

from competition_site import SITE, Browser, CompetitionServerProcess
from test_registration import OK, PASSWORD, RegistrationCase, SUBMISSION_TIMEOUT
from zifra_e2e import wait_until

USER = "anna.berg@example.se"
NICKNAME = "Zifra-Anna"


class CompetitionSiteTest(RegistrationCase):
    def setUp(self):
        self.server = CompetitionServerProcess()
        self.addCleanup(self.server.stop)
        self.browser = Browser()
        self.addCleanup(self.browser.quit)
        super().setUp()

    def top_list(self):
        """(nickname, score) rows of the ten-best list of the start page."""
        self.browser.open("/")
        return [(row[1], int(row[2])) for row in self.browser.rows("#topp-4 tr")]

    def test_sign_up_register_list_and_reset_the_password(self):
        # Sign-up: differing passwords first, then right.
        self.browser.open("/reg3.htm")
        self.assertEqual(self.browser.heading(), "Bli medlem")
        self.browser.fill(email=USER, nickname=NICKNAME, password="hemligt1", repeated="hemligt2")
        self.assertIn("Lösenorden är inte lika.", self.browser.driver.find_element(By.CSS_SELECTOR, ".fel").text)
        self.assertEqual(self.browser.value("email"), USER)
        self.browser.fill(password="hemligt1", repeated="hemligt1")
        self.assertEqual(self.browser.heading(), f"Välkommen, {NICKNAME}!")

        # The address confirmed through the mailed link, as its owner would.
        self.browser.open(self.server.mailed_link(USER, "confirm.htm?token=", "the confirmation mail"))
        self.assertEqual(self.browser.heading(), "Bekräfta din e-postadress")
        self.browser.submit()
        self.assertEqual(self.browser.heading(), "Tack!")

        # A score through the game's dialog, on the list in the browser.
        self.score_some_points()
        first, _ = self.register(USER, "hemligt1")
        self.assertGreater(first, 0)
        self.assertEqual(self.top_list(), [(NICKNAME, first)])
        self.browser.driver.save_screenshot(os.path.join(os.environ["ZIFRA_E2E_WORKDIR"], "competition-site.png"))

        # Password help: the page the game opens on code 2, the link from the outbox.
        self.browser.open("/getpass.htm?mail=" + USER)
        self.assertEqual(self.browser.value("mail"), USER)
        self.browser.submit()
        self.assertEqual(self.browser.heading(), "Kolla din e-post")
        link = self.server.mailed_link(USER, "reset.htm?token=", "the reset mail")
        self.browser.open(link)
        self.browser.fill(password="nyttord9", repeated="nyttord9")
        self.assertEqual(self.browser.heading(), "Klart")
        self.browser.open(link)
        self.assertEqual(self.browser.heading(), "Länken fungerar inte")

        # The game's old password is refused and opens the password page; the new one goes through.
        self.score_some_points()
        opened = len(self.game.opened_addresses())
        _, controls = self.register(USER, "hemligt1", expect_accepted=False)
        wait_until(lambda: self.text_of(OK) == "Försök igen", SUBMISSION_TIMEOUT, 0.5, '"Försök igen"')
        wait_until(lambda: len(self.game.opened_addresses()) > opened, 10, 0.3, "the password page")
        self.assertEqual(self.game.opened_addresses()[-1], f"{SITE}/getpass.htm?mail={USER}")
        second, controls = self.registration()
        self.type_into(controls, PASSWORD, "nyttord9")
        self.click(controls, OK)
        wait_until(lambda: not self.registration_open(), SUBMISSION_TIMEOUT, 0.5, "the accepted score's dialog to close")
        self.assertEqual(self.top_list(), [(NICKNAME, max(first, second))])


if __name__ == "__main__":
    unittest.main()
