"""High-score registration against the loopback competition server.

The zifra.exe under test is the loopback build's, which sends scores to
127.0.0.1:ZIFRA_LOOPBACK_PORT, where competition_server.py decodes and checks
every post. The dialog is driven with real X clicks and keys; dialog_probe.exe
reads back what the dialog shows (caption, button and field texts) and where
its controls are. The stand-in browser of zifra_e2e records opened addresses.
"""

import os
import subprocess
import time
import unittest
import urllib.request

from competition_server import CompetitionServer
from zifra_case import PROMPT, ZifraTestCase
from zifra_e2e import wait_until

PORT = int(os.environ["ZIFRA_LOOPBACK_PORT"])
SITE = f"http://127.0.0.1:{PORT}"
MAKER_SITE = "http://www.zifra.example"

OK, CANCEL, NEW_USER, USER_NAME, PASSWORD = 1, 2, 3, 1003, 1004
# The text of a message box.
MESSAGE = 0xFFFF
CAPTION = "Registrera din poäng ("
FAILURE_CAPTION = "Poängen skickades inte"
FAILURE_TEXT = "Poängen kunde inte skickas till tävlingsservern."
GAME_OVER_TIMEOUT = 240
# The speed count alone takes three to four seconds.
SUBMISSION_TIMEOUT = 30

USER = "anna berg+zifra@example.se"
USER_IN_ADDRESS = "anna%20berg%2Bzifra@example.se"


class RegistrationCase(ZifraTestCase):
    def probe(self):
        """The visible dialogs: [(caption, {control id: (rect, text or None when busy)})]."""
        run = subprocess.run(
            [self.game.wine_run, self.game.prefix, os.environ["ZIFRA_DIALOG_PROBE"]],
            env=self.game.env(), capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            self.fail(f"dialog_probe ended with {run.returncode}:\n{run.stdout}\n{run.stderr}")
        dialogs = []
        for line in run.stdout.splitlines():
            kind, _, rest = line.strip().partition(" ")
            if kind == "dialog":
                dialogs.append((bytes.fromhex(rest).decode("utf-8"), {}))
            elif kind == "control" and dialogs:
                id_, left, top, right, bottom, text = (rest.split(" ") + [""])[:6]
                dialogs[-1][1][int(id_)] = ((int(left), int(top), int(right), int(bottom)),
                                            None if text == "busy" else bytes.fromhex(text).decode("utf-8"))
        return dialogs

    def registration(self, timeout=20):
        """(score in the caption, controls) of the open registration dialog."""
        def find():
            for caption, controls in self.probe():
                if caption.startswith(CAPTION) and caption.endswith(")"):
                    return int(caption[len(CAPTION):-1]), controls
            return None
        return wait_until(find, timeout, 0.3, "the registration dialog")

    def message_box(self, caption, timeout):
        """The controls of the message box with that caption, once it shows."""
        def find():
            for shown, controls in self.probe():
                if shown == caption:
                    return controls
            return None
        return wait_until(find, timeout, 0.3, f'the message box "{caption}"')

    def registration_open(self):
        return any(caption.startswith(CAPTION) for caption, _ in self.probe())

    def click(self, controls, control_id):
        left, top, right, bottom = controls[control_id][0]
        self.game.click((left + right) / 2, (top + bottom) / 2)

    def type_into(self, controls, control_id, text):
        self.click(controls, control_id)
        self.game.key("End", "shift+Home", "BackSpace")
        self.game.type_text(text)

    def text_of(self, control_id):
        return self.registration()[1][control_id][1]

    def open_registration_from_menu(self):
        self.menu("Right", "Right", "Down", "Return")  # "Koppla upp" -> "Registrera high-score"
        return self.registration()

    def register(self, user, password, expect_accepted=True):
        """Sends the best score through the game's dialog; (score, controls)."""
        score, controls = self.open_registration_from_menu()
        self.type_into(controls, USER_NAME, user)
        self.type_into(controls, PASSWORD, password)
        self.click(controls, OK)
        if expect_accepted:
            wait_until(lambda: not self.registration_open(), SUBMISSION_TIMEOUT, 0.5, "the accepted score's dialog to close")
        return score, controls

    def assert_valid_submission(self, submission, score):
        print("decoded submission:", submission["fields"], "answered", repr(submission["answer"]))
        self.assertEqual(submission["problems"], [])
        fields = submission["fields"]
        self.assertEqual((fields["f1"], fields["f3"], fields["f4"]), (USER, "hemligt", str(score)))


class RegistrationTest(RegistrationCase):
    def test_an_accepted_score_at_game_over_resets_the_best_score(self):
        self.score_some_points()
        prompt = self.dialog("Registrera", timeout=GAME_OVER_TIMEOUT)
        self.click_button(prompt, PROMPT, "Ja")

        score, controls = self.registration()
        self.assertGreater(score, 0)
        self.assertEqual((controls[USER_NAME][1], controls[OK][1]), ("", "OK"))
        with CompetitionServer(PORT, os.environ["ZIFRA_EXE"], ["0"]) as server:
            # The caret waits in the user name's field: typing needs no click
            # first, Tab leads on to the password, and Enter is OK.
            self.game.type_text(USER)
            self.game.key("Tab")
            self.game.type_text("hemligt")
            self.game.key("Return")
            self.assertTrue(server.wait_for_submissions(1, SUBMISSION_TIMEOUT))
            # Accepted at game over: the dialog closes and the play-again question follows.
            prompt = self.dialog("Spela Igen", timeout=10)
            self.assertFalse(self.registration_open())
        self.assert_valid_submission(server.submissions[0], score)
        self.assertGreater(int(server.submissions[0]["fields"]["f5"]), 0, "the play time")
        self.assertEqual(self.game.opened_addresses(), [])

        # In the new game the best score starts again from the new game's 0,
        # and the dialog offers what was typed before.
        self.click_button(prompt, PROMPT, "Ja")
        self.wait_closed("Spela Igen")
        score, controls = self.open_registration_from_menu()
        self.assertEqual(score, 0)
        self.assertEqual(controls[USER_NAME][1], USER)
        # With the name known, the caret waits in the password's field, its text
        # selected, so typing replaces it.
        self.game.type_text("nytt")
        wait_until(lambda: self.text_of(PASSWORD) == "nytt", 10, 0.3, "the typed password")
        self.assertEqual(self.text_of(USER_NAME), USER)
        self.click(controls, CANCEL)
        wait_until(lambda: not self.registration_open(), 10, 0.3, "the dialog to close")
        time.sleep(1)
        self.assertFalse(self.game.window_exists("Spela Igen"), "Avbryt in a running game asks nothing")

    def test_refusals_failures_and_a_new_version_from_the_menu(self):
        self.score_some_points()
        score, controls = self.open_registration_from_menu()
        self.assertGreater(score, 0)

        # Without a password nothing is sent and nothing changes.
        with CompetitionServer(PORT, os.environ["ZIFRA_EXE"]) as server:
            self.type_into(controls, USER_NAME, USER)
            self.click(controls, OK)
            time.sleep(2)
            self.assertEqual(server.submissions, [])
            self.assertEqual(self.text_of(OK), "OK")

        # A character that code page 1252 has no byte for is named, and nothing is sent.
        with CompetitionServer(PORT, os.environ["ZIFRA_EXE"]) as server:
            self.type_into(controls, USER_NAME, "Ω" + USER)
            self.type_into(controls, PASSWORD, "hemligt")
            self.click(controls, OK)
            box = self.message_box("Tecknet kan inte skickas", 10)
            self.assertTrue(box[MESSAGE][1].startswith("Användarnamnet innehåller tecknet ”Ω” (U+03A9), "),
                            box[MESSAGE][1])
            self.click(box, OK)
            time.sleep(2)
            self.assertEqual(server.submissions, [])
            self.assertEqual(self.text_of(OK), "OK")

        # Nothing listens: the attempt fails and says so, and the dialog stays
        # open for another try.
        self.type_into(controls, USER_NAME, USER)
        self.click(controls, OK)
        box = self.message_box(FAILURE_CAPTION, SUBMISSION_TIMEOUT)
        print("told:", box[MESSAGE][1].replace("\n", " "))
        self.assertTrue(box[MESSAGE][1].startswith(FAILURE_TEXT + "\n\n"))
        self.click(box, OK)
        wait_until(lambda: self.text_of(OK) == "Försök igen", 10, 0.3, '"Försök igen"')
        self.assertTrue(self.registration_open())
        time.sleep(1)  # time enough for a page that should not open
        self.assertEqual(self.game.opened_addresses(), [])
        self.assertFalse(self.game.window_exists("Spela Igen"))

        with CompetitionServer(PORT, os.environ["ZIFRA_EXE"], ["1", "\r\n2\r\n", "0\r\n5"]) as server:
            # 100 characters typed into each field leave 64 and 16, and those
            # are what is sent. 1: unknown user.
            long_name, long_password = "abcdefghij" * 10, "0123456789" * 10
            self.type_into(controls, USER_NAME, long_name)
            self.type_into(controls, PASSWORD, long_password)
            self.assertEqual((self.text_of(USER_NAME), self.text_of(PASSWORD)), (long_name[:64], long_password[:16]))
            self.click(controls, OK)
            self.assertTrue(server.wait_for_submissions(1, SUBMISSION_TIMEOUT))
            fields = server.submissions[0]["fields"]
            self.assertEqual(server.submissions[0]["problems"], [])
            self.assertEqual((fields["f1"], fields["f3"]), (long_name[:64], long_password[:16]))
            wait_until(lambda: self.text_of(OK) == "Försök igen", 10, 0.3, '"Försök igen"')
            wait_until(lambda: self.game.opened_addresses(), 10, 0.3, "the page for code 1")
            self.assertEqual(self.game.opened_addresses(), [f"{SITE}/reg2.htm"])

            # 2: wrong password; its page carries the name as typed, made safe for the address.
            self.type_into(controls, USER_NAME, USER)
            self.type_into(controls, PASSWORD, "hemligt")
            self.click(controls, OK)
            self.assertTrue(server.wait_for_submissions(2, SUBMISSION_TIMEOUT))
            wait_until(lambda: len(self.game.opened_addresses()) == 2, 10, 0.3, "the password page")
            self.assertEqual(self.game.opened_addresses()[1], f"{SITE}/getpass.htm?mail={USER_IN_ADDRESS}")
            self.assertEqual(self.text_of(OK), "Försök igen")

            # 0 with version 5: the version page opens and the dialog closes.
            self.click(controls, OK)
            self.assertTrue(server.wait_for_submissions(3, SUBMISSION_TIMEOUT))
            wait_until(lambda: not self.registration_open(), 10, 0.3, "the dialog to close")
            wait_until(lambda: len(self.game.opened_addresses()) == 3, 10, 0.3, "the version page")
            self.assertEqual(self.game.opened_addresses()[2], f"{SITE}/version.htm?gameid=5")
            for submission in server.submissions[1:]:
                self.assert_valid_submission(submission, score)

            # "Ny användare" opens the sign-up page and leaves the dialog open.
            _, controls = self.open_registration_from_menu()
            self.click(controls, NEW_USER)
            wait_until(lambda: len(self.game.opened_addresses()) == 4, 10, 0.3, "the sign-up page")
            self.assertEqual(self.game.opened_addresses()[3], f"{SITE}/reg3.htm")
            self.assertTrue(self.registration_open())
            self.click(controls, CANCEL)
            wait_until(lambda: not self.registration_open(), 10, 0.3, "the dialog to close")

            # The three pages of the "Koppla upp" menu.
            for downs, address in ((1, f"{SITE}/index2.htm"), (2, f"{MAKER_SITE}/"), (3, f"{SITE}/")):
                opened = len(self.game.opened_addresses())
                self.menu("Right", "Right", "Down", *["Down"] * downs, "Return")
                wait_until(lambda: len(self.game.opened_addresses()) > opened, 10, 0.3, address)
                self.assertEqual(self.game.opened_addresses()[-1], address)

            # Every competition page that was opened is there to be fetched.
            direct = urllib.request.build_opener(urllib.request.ProxyHandler({}))
            for address in self.game.opened_addresses():
                if address.startswith(SITE):
                    with direct.open(address, timeout=10) as page:
                        self.assertEqual(page.status, 200)
            self.assertIn("/getpass.htm?mail=" + USER_IN_ADDRESS, server.pages)


if __name__ == "__main__":
    unittest.main()
