"""A whole competition period, in the browser and the game, against the real
zifra-server.

The organiser opens a period around now with `zifra-server admin`. Player A
signs up in one Chromium (confirming the address through the mailed link),
registers a score through the game's score post, and from /index2.htm is
led to sign in and back to challenge friend B. B, in a second Chromium that
shares no cookie with the first, follows the challenge mail's sign-up link,
signs up with A filled in as referrer, confirms, and registers a score
through the loopback zifra.exe under Wine, through its dialog. Nine more
members, set up over HTTP, post scores: eight fill the ten, and the ninth
ties B's score after B, so the tie puts B tenth and the ninth out. The
organiser closes the period; /vinnare.htm lists the ten in order with A
beside B as the bonus prize's winner; B's winner mail leads to the claim
page, which takes the details once. Last, A's sign-out ends the session on
the server, not only in the browser.
"""

import datetime
import os
import unittest
import urllib.parse

from selenium.webdriver.common.by import By

from competition_server import program_facts, score_form
from competition_site import SITE, SIGN_OUT_FORM, Browser, CompetitionServerProcess
from test_registration import RegistrationCase

PERIOD = "Vintern 2026"
SESSION_COOKIE = "zifra_session"
SIGN_IN_PASSWORD = "//form[contains(@action, '/logga-in.htm')]//input[@name='password']"
# Ten minutes of play allow far more points than any score posted here.
PLAY_TIME_MS = 600000


class Member:
    def __init__(self, nickname, address, password="hemligt1"):
        self.nickname, self.address, self.password = nickname, address, password


A = Member("Zifra-Anna", "anna.berg@example.se")
B = Member("Bosse", "bo.lind@example.se", "bollen22")
A_SCORE = 5000
# The eight who fill the ten, by how far each scores above B, in the order
# they post (not the order of the list); and the one who ties B afterwards.
FILLERS = [(Member(name, f"{name.lower()}@example.se"), above) for name, above in
           [("Cilla", 40), ("Doris", 2600), ("Erik", 1), ("Fia", 900), ("Gustav", 3100), ("Hanna", 70),
            ("Ivar", 1200), ("Jonna", 400)]]
LATE_TIE = Member("Kalle", "kalle@example.se")


def utc(moment):
    return moment.strftime("%Y-%m-%dT%H:%M:%SZ")


class ContestPeriodTest(RegistrationCase):
    def setUp(self):
        self.server = CompetitionServerProcess("--sign-ups-per-address", "0")
        self.addCleanup(self.server.stop)
        self.a_browser = Browser()
        self.addCleanup(self.a_browser.quit)
        self.b_browser = Browser()
        self.addCleanup(self.b_browser.quit)
        self.posted = []  # (nickname, score) of every accepted score, in order
        super().setUp()

    def post_score(self, member, score):
        """A score through the game's score post, from the build under test."""
        checksum, length = program_facts(os.environ["ZIFRA_EXE"])
        status, answer, _ = self.server.request(
            "/r0002.asp", body=score_form(member.address, member.password, score, PLAY_TIME_MS, checksum, length))
        self.assertEqual((status, answer.split("\r\n")[0]), (200, "0"), answer)
        self.posted.append((member.nickname, score))

    def sign_up_in_browser(self, browser, member):
        """The sign-up form as shown is sent; the address confirmed through
        the mailed link, as its owner would."""
        browser.fill(email=member.address, nickname=member.nickname, password=member.password,
                     repeated=member.password)
        self.assertEqual(browser.heading(), f"Välkommen, {member.nickname}!")
        browser.open(self.server.mailed_link(member.address, "confirm.htm?token=", "the confirmation mail"))
        self.assertEqual(browser.heading(), "Bekräfta din e-postadress")
        browser.submit()
        self.assertEqual(browser.heading(), "Tack!")

    def my_pages(self, cookie=None):
        """(status, where it sends to, page) of /mina-sidor over plain
        HTTP, with that session cookie or none."""
        status, page, headers = self.server.request(
            "/mina-sidor", headers={"Cookie": f"{SESSION_COOKIE}={cookie}"} if cookie else None)
        return status, headers.get("Location"), page

    def asks_to_sign_in(self, browser):
        """Whether the page shown is the sign-in form of someone signed out."""
        driver = browser.driver
        return (not driver.find_elements(By.XPATH, SIGN_OUT_FORM) and
                bool(driver.find_elements(By.XPATH, SIGN_IN_PASSWORD)))

    def test_a_period_from_challenge_to_claimed_prize(self):
        now = datetime.datetime.now(datetime.timezone.utc)
        start, end = now - datetime.timedelta(minutes=1), now + datetime.timedelta(hours=1)
        self.assertIn("opened", self.server.admin("period", "open", PERIOD, "--start", utc(start), "--end", utc(end)))

        # A signs up in the browser and plays.
        self.a_browser.open("/reg3.htm")
        self.sign_up_in_browser(self.a_browser, A)
        self.post_score(A, A_SCORE)

        # A, not signed in, is led from /index2.htm to sign in and back,
        # with a session cookie the page's scripts cannot read.
        self.a_browser.open("/index2.htm")
        self.a_browser.follow("/logga-in.htm", next="/index2.htm")
        self.a_browser.fill(email=A.address, password=A.password)
        self.assertEqual(self.a_browser.path(), "/index2.htm")
        cookie = self.a_browser.driver.get_cookie(SESSION_COOKIE)
        self.assertIsNotNone(cookie, "no session cookie after signing in")
        self.assertEqual((cookie["httpOnly"], cookie.get("sameSite"), cookie["path"]), (True, "Lax", "/"))

        # A challenges B; B gets one mail, with a sign-up link that knows A
        # (and no browser game, which this server does not serve).
        message = "Slå mig om du kan!"
        self.a_browser.fill(friend1=B.address, message=message)
        mail, body = self.server.mail_to(B.address, f"{SITE}/reg3.htm?utmaning=", "the challenge mail")
        for text in (A.nickname, str(A_SCORE), message, f"{SITE}/download/zifra.exe", f"{SITE}/avsluta.htm?token="):
            self.assertIn(text, body)
        self.assertNotIn(f"{SITE}/spela/", body)
        self.assertIn("/avsluta.htm?token=", mail["List-Unsubscribe"])
        self.assertEqual([m["To"] for m in self.server.mails()].count(B.address), 1)
        link = next(word for word in body.split() if word.startswith(f"{SITE}/reg3.htm?utmaning="))

        # B follows it in a browser of B's own: the challenger is the referrer.
        self.b_browser.open(link)
        self.assertIsNone(self.b_browser.driver.get_cookie(SESSION_COOKIE))
        self.assertEqual(self.b_browser.heading(), "Bli medlem")
        self.assertEqual(self.b_browser.value("challenge"),
                         urllib.parse.parse_qs(urllib.parse.urlsplit(link).query)["utmaning"][0])
        self.assertEqual(self.b_browser.value("referrer"), A.nickname)
        self.sign_up_in_browser(self.b_browser, B)

        # B plays zifra.exe and registers the score through its dialog.
        self.score_some_points()
        b_score, _ = self.register(B.address, B.password)
        self.assertGreater(b_score, 0)
        self.posted.append((B.nickname, b_score))

        # Eight more fill the ten; the one who ties B later falls out.
        for member, above in FILLERS:
            self.server.sign_up(member.address, member.nickname, member.password)
            self.post_score(member, b_score + above)
        self.server.sign_up(LATE_TIE.address, LATE_TIE.nickname, LATE_TIE.password)
        self.post_score(LATE_TIE, b_score)

        self.assertIn("closed with 10 winners", self.server.admin("period", "close", PERIOD))

        # The ten best in order, ties to whoever reached the score first.
        ranked = sorted(enumerate(self.posted), key=lambda p: (-p[1][1], p[0]))[:10]
        expected = [[str(place), nickname, str(score), A.nickname if nickname == B.nickname else ""]
                    for place, (_, (nickname, score)) in enumerate(ranked, 1)]
        self.assertEqual(expected[-1][1], B.nickname)
        self.b_browser.open("/vinnare.htm")
        self.assertEqual(self.b_browser.driver.find_element(By.TAG_NAME, "h2").text, PERIOD)
        self.assertEqual(self.b_browser.rows("table.vinnare tr"), expected)

        # B claims the prize through the winner mail's link, once.
        claim = self.server.mailed_link(B.address, "vinst.htm?token=", "the winner mail")
        self.b_browser.open(claim)
        self.assertEqual(self.b_browser.heading(), f"Grattis, {B.nickname}!")
        self.b_browser.fill(fullname="Bo Lind", address="Storgatan 1\n123 45 Småstad", sweden=True)
        self.assertEqual(self.b_browser.heading(), "Tack!")
        self.b_browser.open(claim)
        self.assertEqual(self.b_browser.heading(), "Länken fungerar inte")
        winners = self.server.admin("winners", PERIOD).splitlines()
        self.assertIn(f"4\t10\t{B.nickname}\t{b_score}\tclaimed\tbonus: {A.nickname}", winners)

        # Sign-out ends A's session: in the browser, and for the old cookie.
        signed_out = self.my_pages()[:2]
        self.assertNotEqual(signed_out[0], 200)
        status, _, page = self.my_pages(cookie["value"])
        self.assertEqual(status, 200)
        self.assertIn(A.nickname, page)
        self.a_browser.open("/mina-sidor")
        self.a_browser.sign_out()
        self.assertEqual(self.a_browser.path(), "/")
        self.a_browser.open("/mina-sidor")
        self.assertTrue(self.asks_to_sign_in(self.a_browser), "my pages did not ask to sign in after signing out")
        self.assertEqual(self.my_pages(cookie["value"])[:2], signed_out)


if __name__ == "__main__":
    unittest.main()
