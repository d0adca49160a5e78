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

import email
import glob
import os
import select
import shutil
import subprocess
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.common.exceptions import WebDriverException
from selenium.webdriver.common.by import By
from selenium.webdriver.support.expected_conditions import staleness_of
from selenium.webdriver.support.ui import WebDriverWait

from test_registration import OK, PASSWORD, USER_NAME, RegistrationCase, SUBMISSION_TIMEOUT
from zifra_e2e import wait_until

PORT = int(os.environ["ZIFRA_LOOPBACK_PORT"])
SITE = f"http://127.0.0.1:{PORT}"
USER = "anna.berg@example.se"
NICKNAME = "Zifra-Anna"


class CompetitionServerProcess:
    """zifra-server in a folder of its own; stopped by its process id."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="zifra-site-")
        self.process = subprocess.Popen(
            [os.environ["ZIFRA_SERVER"], "--listen", f"127.0.0.1:{PORT}",
             "--db", f"sqlite:{self.folder}/site.db", "--builds", os.environ["ZIFRA_BUILD_LINE"]],
            cwd=self.folder, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        ready, _, _ = select.select([self.process.stdout], [], [], 30)
        line = self.process.stdout.readline().decode() if ready else ""
        if "listening on" not in line:
            self.stop()
            raise RuntimeError(f"zifra-server did not start: {line!r}")

    def mails(self):
        """The messages in the outbox, parsed."""
        messages = []
        for path in sorted(glob.glob(os.path.join(self.folder, "outbox", "*.eml"))):
            with open(path, "rb") as f:
                messages.append(email.message_from_bytes(f.read()))
        return messages

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)
        shutil.rmtree(self.folder, ignore_errors=True)


def headless_chromium(profile):
    options = webdriver.ChromeOptions()
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                 "--disable-background-networking", "--disable-extensions", "--no-first-run",
                 "--no-default-browser-check", "--no-proxy-server", f"--user-data-dir={profile}"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_page_load_timeout(30)
    return driver


class CompetitionSiteTest(RegistrationCase):
    def setUp(self):
        self.server = CompetitionServerProcess()
        self.addCleanup(self.server.stop)
        profile = tempfile.mkdtemp(prefix="zifra-chromium-")
        self.addCleanup(shutil.rmtree, profile, True)
        self.browser = headless_chromium(profile)
        self.addCleanup(self.browser.quit)
        super().setUp()

    def fill(self, **fields):
        for name, value in fields.items():
            box = self.browser.find_element(By.NAME, name)
            box.clear()
            box.send_keys(value)
        self.submit()

    def submit(self):
        """Sends the page's form and waits for the answer page."""
        page = self.browser.find_element(By.TAG_NAME, "html")
        self.browser.find_element(By.CSS_SELECTOR, "form button[type=submit]").click()
        # Asked while the old page is being swapped out, Chromium may answer
        # that the node "does not belong to the document" instead of calling
        # it stale: ask again until it says stale.
        WebDriverWait(self.browser, 20, ignored_exceptions=(WebDriverException,)).until(staleness_of(page))

    def mailed_link(self, page, what):
        """The link to `page` in the mail that carries one, once it has come."""
        def link():
            for mail in self.server.mails():
                for word in mail.get_payload(decode=True).decode().split():
                    if word.startswith(f"{SITE}/{page}?token="):
                        self.assertEqual(mail["To"], USER)
                        return word
            return None
        return wait_until(link, 10, 0.2, what)

    def heading(self):
        return self.browser.find_element(By.TAG_NAME, "h1").text

    def top_list(self):
        """(nickname, score) rows of the ten-best list of the start page."""
        self.browser.get(SITE + "/")
        rows = self.browser.find_elements(By.CSS_SELECTOR, "#topp-4 tr")[1:]
        return [(cells[1].text, int(cells[2].text))
                for cells in (row.find_elements(By.TAG_NAME, "td") for row in rows)]

    def register(self, password, expect_accepted=True):
        """Sends the best score through the game's dialog; returns it."""
        score, controls = self.open_registration_from_menu()
        self.type_into(controls, USER_NAME, USER)
        self.type_into(controls, PASSWORD, password)
        self.click(controls, OK)
        if expect_accepted:
            wait_until(lambda: not self.registration_open(), SUBMISSION_TIMEOUT, 0.5, "the accepted score's dialog to close")
        return score, controls

    def test_sign_up_register_list_and_reset_the_password(self):
        # Sign-up: differing passwords first, then right.
        self.browser.get(SITE + "/reg3.htm")
        self.assertEqual(self.heading(), "Bli medlem")
        self.fill(email=USER, nickname=NICKNAME, password="hemligt1", repeated="hemligt2")
        self.assertIn("Lösenorden är inte lika.", self.browser.find_element(By.CSS_SELECTOR, ".fel").text)
        self.assertEqual(self.browser.find_element(By.NAME, "email").get_attribute("value"), USER)
        self.fill(password="hemligt1", repeated="hemligt1")
        self.assertEqual(self.heading(), f"Välkommen, {NICKNAME}!")

        # The address confirmed through the mailed link, as its owner would.
        self.browser.get(self.mailed_link("confirm.htm", "the confirmation mail"))
        self.assertEqual(self.heading(), "Bekräfta din e-postadress")
        self.submit()
        self.assertEqual(self.heading(), "Tack!")

        # A score through the game's dialog, on the list in the browser.
        self.score_some_points()
        first, _ = self.register("hemligt1")
        self.assertGreater(first, 0)
        self.assertEqual(self.top_list(), [(NICKNAME, first)])
        self.browser.save_screenshot(os.path.join(os.environ["ZIFRA_E2E_WORKDIR"], "competition-site.png"))

        # Password help: the page the game opens on code 2, the link from the outbox.
        self.browser.get(SITE + "/getpass.htm?mail=" + USER)
        self.assertEqual(self.browser.find_element(By.NAME, "mail").get_attribute("value"), USER)
        self.submit()
        self.assertEqual(self.heading(), "Kolla din e-post")
        link = self.mailed_link("reset.htm", "the reset mail")
        self.browser.get(link)
        self.fill(password="nyttord9", repeated="nyttord9")
        self.assertEqual(self.heading(), "Klart")
        self.browser.get(link)
        self.assertEqual(self.heading(), "Länken fungerar inte")

        # The game's old password is refused and opens the password page; the new one goes through.
        self.score_some_points()
        opened = len(self.game.opened_addresses())
        _, controls = self.register("hemligt1", expect_accepted=False)
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
