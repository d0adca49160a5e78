"""Sending a score to a competition server that misbehaves.

One table of server behaviours, each answering the first post of its case;
the second post of the case gets a well-behaved "0". For each: the program
answers again within the time limit of a send, tells the player in a message
box that the score was not sent, keeps the dialog open with "Försök igen" and
the best score kept, and the second OK is accepted. The quick cases run
first; the two that only a time-out ends come last.
"""

import os
import socket
import struct
import time
import unittest

from competition_server import CompetitionServer
from test_registration import FAILURE_CAPTION, FAILURE_TEXT, MESSAGE, OK, PASSWORD, USER_NAME, RegistrationCase
from zifra_case import PROMPT
from zifra_e2e import wait_until

PORT = int(os.environ["ZIFRA_LOOPBACK_PORT"])
# The speed count (up to four seconds), then at most 30 s for sending and
# reading; the rest is margin for a busy machine.
SEND_BOUND = 50
ACCEPTED_TIMEOUT = 30


# -- the behaviours: each gets the request's handler and the server's stop event


def never_answers(handler, stopping):
    stopping.wait()


def drips_forever(handler, stopping):
    """A header that never ends, one byte a second."""
    handler.wfile.write(b"HTTP/1.1 200 OK\r\nX-Zifra: ")
    while not stopping.wait(1):
        handler.wfile.write(b"0")


def status(code, reason, body):
    def answer(handler, stopping):
        handler.wfile.write(f"HTTP/1.1 {code} {reason}\r\nContent-Type: text/plain\r\n"
                            f"Content-Length: {len(body)}\r\n\r\n{body}".encode("ascii"))
    answer.__name__ = f"status_{code}_{body}"
    return answer


def resets_the_connection(handler, stopping):
    # Closing with a zero linger time sends a reset instead of a close.
    handler.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    os.close(handler.connection.detach())


def closes_mid_header(handler, stopping):
    handler.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Ty")


def a_megabyte_of_digits(handler, stopping):
    digits = b"1234567890" * 100_000
    handler.wfile.write(b"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                        b"Content-Length: %d\r\n\r\n" % len(digits) + digits)


def binary_junk(handler, stopping):
    handler.wfile.write(bytes((i * 37 + 11) % 256 for i in range(8192)))


# behaviour, the reason the message box must give (None: any), at least how
# long the attempt must have waited (s), to show that a time limit ended it
CASES = [
    (status(503, "Service Unavailable", "0"), "HTTP/1.1 503 Service Unavailable", 0),
    (status(500, "Internal Server Error", "2"), "HTTP/1.1 500 Internal Server Error", 0),
    (resets_the_connection, None, 0),
    (closes_mid_header, None, 0),
    (a_megabyte_of_digits, "1234567890" * 25 + "12345", 0),
    (binary_junk, None, 0),
    (never_answers, None, 10),
    (drips_forever, "Servern svarade inte inom 30 sekunder", 30),
]


class HostileServerTest(RegistrationCase):
    def score_from_the_gap(self):
        """Points, shot from the gap between the first two Vaktor figures; then
        back under the first, which is still whole, so the game lasts."""
        self.game.focus(self.window)
        self.hold("Right", 0.45)
        self.score_some_points()
        self.hold("Left", 0.6)

    def open_registration(self):
        """The registration dialog, from the menu, or from the question that
        a game over raised meanwhile."""
        def step():
            titles = [caption for caption, _ in self.probe()]
            if any(t.startswith("Registrera din poäng (") for t in titles):
                return True
            if "Registrera" in titles:
                self.click_button(self.dialog("Registrera"), PROMPT, "Ja")
            elif "Spela Igen" in titles:
                self.click_button(self.dialog("Spela Igen"), PROMPT, "Ja")
                self.wait_closed("Spela Igen")
                self.score_from_the_gap()
                self.menu("Right", "Right", "Down", "Return")
            elif not titles:
                self.menu("Right", "Right", "Down", "Return")
            time.sleep(1)
            return False
        wait_until(step, 120, 0, "the registration dialog")
        return self.registration()

    def test_every_misbehaviour_is_a_failure_the_player_is_told_of(self):
        self.score_from_the_gap()
        for behaviour, reason, least_wait in CASES:
            with self.subTest(behaviour.__name__):
                print("case:", behaviour.__name__, flush=True)
                score, controls = self.open_registration()
                self.assertGreater(score, 0)
                if controls[USER_NAME][1] != "anna@example.se":
                    self.type_into(controls, USER_NAME, "anna@example.se")
                    self.type_into(controls, PASSWORD, "hemligt")
                with CompetitionServer(PORT, os.environ["ZIFRA_EXE"], [behaviour, "0"]) as server:
                    sent = time.monotonic()
                    self.click(controls, OK)
                    self.assertTrue(server.wait_for_submissions(1, SEND_BOUND))
                    box = self.message_box(FAILURE_CAPTION, SEND_BOUND)
                    waited = time.monotonic() - sent
                    print(f"  told after {waited:.1f} s:", box[MESSAGE][1].replace("\n", " "), flush=True)
                    self.assertLess(waited, SEND_BOUND)
                    self.assertGreaterEqual(waited, least_wait)
                    self.assertTrue(box[MESSAGE][1].startswith(FAILURE_TEXT))
                    if reason:
                        self.assertEqual(box[MESSAGE][1], f"{FAILURE_TEXT}\n\nOrsak: {reason}")
                    self.click(box, OK)

                    # The dialog answers again, still open, and says so.
                    wait_until(lambda: self.text_of(OK) == "Försök igen", 10, 0.3, '"Försök igen"')
                    self.assertEqual(self.registration()[0], score)
                    self.assertEqual(self.game.opened_addresses(), [])

                    self.click(controls, OK)
                    self.assertTrue(server.wait_for_submissions(2, ACCEPTED_TIMEOUT))
                    wait_until(lambda: not self.registration_open(), 10, 0.3, "the dialog to close")
                for submission in server.submissions:
                    self.assertEqual(submission["problems"], [])
                    self.assertEqual(submission["fields"]["f4"], str(score), "the best score, kept")
                self.assertFalse(self.game.window_exists(FAILURE_CAPTION))


if __name__ == "__main__":
    unittest.main()
