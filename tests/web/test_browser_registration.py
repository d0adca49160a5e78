"""From sign-up to the ten-best list with the browser game alone.

zifra-server serves the browser game and knows only the web build's module
(--builds with its known-builds line), so an accepted score also shows that
the page sends the honest checksum of the module it runs. Headless Chromium
signs a player up on the site's own form, plays the game with Space held to
a game over, answers "Ja" to sending the high score, is refused once for a
wrong password (the button reads "Försök igen" and the password page opens
in a new tab), and registers through the dialog. The address and password
known, the page fetches a ticket for the next game: "Ja" to another game
plays it on the ticket's seed, and its score, registered again, is sent with
its replay, which the service proves. "Nej" to a third game ends the program,
and the start page lists the score.
"""
import json
import time
import unittest
import urllib.request
from urllib.parse import quote

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from web_game import BrowserGame, ServerProcess, wait_until

USER = "berit.lund@example.se"
NICKNAME = "Webb-Berit"
PASSWORD = "hemlis42"
# A game with Space held ends within about 40 s of play.
GAME_OVER_TIMEOUT = 120


class BrowserRegistrationCase(unittest.TestCase):
    def setUp(self):
        self.server = ServerProcess(builds=True)
        self.addCleanup(self.server.stop)
        self.game = BrowserGame(self.server)
        self.addCleanup(self.game.close)
        self.driver = self.game.driver

    def sign_up(self):
        self.driver.get(self.server.site + "/reg3.htm")
        for name, value in (("email", USER), ("nickname", NICKNAME), ("password", PASSWORD), ("repeated", PASSWORD)):
            self.driver.find_element(By.ID, name).send_keys(value)
        self.driver.find_element(By.CSS_SELECTOR, "button[type=submit]").click()
        wait_until("the welcome", lambda: "Välkommen" in self.driver.title)
        # The address is confirmed through the mailed link, as a player would.
        self.driver.get(self.server.mailed_link())
        self.driver.find_element(By.CSS_SELECTOR, "button[type=submit]").click()
        wait_until("the confirmation", lambda: self.driver.title.startswith("Bekräftad"))

    def prompt(self):
        dialog = self.game.wait_for_dialog("prompt", timeout=GAME_OVER_TIMEOUT)
        return dialog, dialog.find_element(By.CSS_SELECTOR, ".rubrik").text, dialog.find_element(By.ID, "prompt-text").text

    def answer(self, dialog, text):
        buttons = {b.text: b for b in dialog.find_elements(By.CSS_SELECTOR, ".knappar button")}
        self.assertEqual(sorted(buttons), ["Ja", "Nej"])
        buttons[text].click()
        wait_until("the prompt to close", lambda: not self.driver.find_elements(By.ID, "prompt"))

    def ticket_held(self):
        return self.driver.execute_script("return window.zifraPage.module._zifra_ticket_wanted() === 0")

    def play_to_a_scoring_game_over(self):
        """Space held until the game ends; again while a game ends without
        points."""
        for _ in range(3):
            ActionChains(self.driver).key_down(Keys.SPACE).perform()
            dialog, title, question = self.prompt()
            ActionChains(self.driver).key_up(Keys.SPACE).perform()
            if title == "Registrera":
                self.assertEqual(question, "Vill du skicka din highscore till Internet?")
                return dialog
            self.assertEqual((title, question), ("Spela Igen", "Vill du spela igen?"))
            self.answer(dialog, "Ja")
        self.fail("three games without a point")

    def play_on_tickets_to_a_scoring_game_over(self):
        """The same on tickets fetched ahead; the question asked and the score.
        Only a score above the one offered last raises "Registrera"."""
        for _ in range(3):
            ActionChains(self.driver).key_down(Keys.SPACE).perform()
            dialog, title, question = self.prompt()
            ActionChains(self.driver).key_up(Keys.SPACE).perform()
            score = self.game.trace()["score"]
            if score > 0:
                return dialog, title, score
            self.assertEqual((title, question), ("Spela Igen", "Vill du spela igen?"))
            wait_until("a ticket for the next game", self.ticket_held)
            self.answer(dialog, "Ja")
        self.fail("three games without a point")

    def registration_ok(self, dialog):
        dialog.find_element(By.ID, "registration-ok").click()

    def test_sign_up_play_register_and_find_the_score_on_the_list(self):
        self.sign_up()
        self.game.open()
        page = self.driver.current_window_handle
        self.answer(self.play_to_a_scoring_game_over(), "Ja")

        dialog = self.game.wait_for_dialog("registration")
        caption = dialog.find_element(By.CSS_SELECTOR, ".rubrik").text
        self.assertRegex(caption, r"^Registrera din poäng \(\d+\)$")
        score = int(caption.split("(")[1].rstrip(")"))
        self.assertGreater(score, 0)
        legends = [e.text for e in dialog.find_elements(By.TAG_NAME, "legend")]
        self.assertEqual(legends, ["Användarnamn (e-mailadress)", "Lösenord"])
        self.assertEqual([b.text for b in dialog.find_elements(By.CSS_SELECTOR, ".knappar button")],
                         ["OK", "Avbryt", "Ny användare"])
        user = dialog.find_element(By.ID, "registration-user")
        password = dialog.find_element(By.ID, "registration-password")
        self.assertEqual(self.driver.switch_to.active_element, user)
        self.assertEqual((user.get_attribute("maxlength"), password.get_attribute("maxlength")), ("64", "16"))

        # Without a password OK does nothing at all.
        user.send_keys(USER)
        self.registration_ok(dialog)
        time.sleep(0.5)
        self.assertEqual(dialog.find_element(By.ID, "registration-ok").text, "OK")
        self.assertEqual(len(self.driver.window_handles), 1)

        # A wrong password: "Försök igen", and the password page for the
        # address as typed opens beside the game.
        password.send_keys("fel-fel-fel")
        self.registration_ok(dialog)
        wait_until("the refusal", lambda: dialog.find_element(By.ID, "registration-ok").text == "Försök igen")
        wait_until("the password page", lambda: len(self.driver.window_handles) == 2)
        self.driver.switch_to.window([h for h in self.driver.window_handles if h != page][0])
        wait_until("its address", lambda: self.driver.current_url != "about:blank")
        self.assertEqual(self.driver.current_url, self.server.site + "/getpass.htm?mail=" + quote(USER, safe="@"))
        self.driver.close()
        self.driver.switch_to.window(page)

        password.clear()
        password.send_keys(PASSWORD)
        self.registration_ok(dialog)
        wait_until("the dialog to close", lambda: not self.driver.find_elements(By.ID, "registration"), timeout=30)
        # The game had ended: the play-again question follows. A ticket for
        # the next game is on its way, fetched with the address and password
        # just given.
        dialog, title, question = self.prompt()
        self.assertEqual((title, question), ("Spela Igen", "Vill du spela igen?"))
        wait_until("a ticket for the next game", self.ticket_held)
        self.answer(dialog, "Ja")
        dialog, title, verified_score = self.play_on_tickets_to_a_scoring_game_over()
        if title == "Registrera":
            self.answer(dialog, "Ja")
        else:
            # Below the score offered before: registered from the menu in the next game.
            self.answer(dialog, "Ja")
            self.game.choose("Koppla upp", "Registrera high-score")
        dialog = self.game.wait_for_dialog("registration")
        self.assertEqual(dialog.find_element(By.CSS_SELECTOR, ".rubrik").text,
                         f"Registrera din poäng ({verified_score})")
        self.assertEqual(dialog.find_element(By.ID, "registration-user").get_property("value"), USER)
        self.assertEqual(dialog.find_element(By.ID, "registration-password").get_property("value"), PASSWORD)
        self.assertEqual(self.driver.switch_to.active_element.get_attribute("id"), "registration-password")
        self.registration_ok(dialog)
        wait_until("the dialog to close", lambda: not self.driver.find_elements(By.ID, "registration"), timeout=30)
        proof = self.driver.execute_script("return window.zifraPage.tickets.lastProof")
        self.assertTrue(proof, "no replay was sent")

        if title == "Registrera":
            dialog, title, question = self.prompt()
            self.assertEqual((title, question), ("Spela Igen", "Vill du spela igen?"))
            self.answer(dialog, "Nej")
        else:
            self.game.choose("Spel", "Avsluta (Alt-F4)")
        wait_until("the end", lambda: self.game.status()["ended"])
        self.assertTrue(self.driver.find_element(By.ID, "slut").is_displayed())

        self.driver.get(self.server.site + "/")
        rows = [[cell.text for cell in row.find_elements(By.TAG_NAME, "td")]
                for row in self.driver.find_elements(By.CSS_SELECTOR, "#topp-4 tr")]
        self.assertIn(["1", NICKNAME, str(max(score, verified_score))], [row[:3] for row in rows])
        self.assertTrue(self.driver.find_elements(By.CSS_SELECTOR, "a[href='/spela/']"))
        # The service played the ticket's game again and proved its score.
        self.assertEqual(proof["status"], 202, proof["text"])
        number = json.loads(proof["text"])["id"]

        def verdict():
            with urllib.request.urlopen(f"{self.server.site}/api/v1/scores/{number}", timeout=10) as answer:
                state = json.load(answer)
            return state if state["status"] != "pending" else None
        state = wait_until("the verdict", verdict, timeout=30, step=0.5)
        self.assertEqual((state["status"], state["score"]), ("verified", verified_score), state)


if __name__ == "__main__":
    unittest.main()
