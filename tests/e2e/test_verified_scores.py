"""Verified scores end to end, against the real zifra-server on loopback.

On SQLite and on a private PostgreSQL cluster alike: a player signs up on the
site and asks for a ticket; zifra-sim plays a recorded key script on the
ticket's seed and records the replay; the replay is posted, and the score's
address is asked until the service has played it again. The score is then
on /api/top as verified and marked on the start page; the same replay sent
again is refused. Last the server runs with --verified-only on the same
database: a forged eleven-field score is stored (answer 0) but not listed.

Every program is started by this test and stopped by its process id.
"""

import json
import os
import select
import shutil
import subprocess
import tempfile
import time
import unittest
import urllib.error
import urllib.parse
import urllib.request

from competition_server import score_form

SERVER = os.environ["ZIFRA_SERVER"]
SIM = os.environ["ZIFRA_SIM"]
REPLAY = os.environ["ZIFRA_REPLAY"]
SCRATCH_POSTGRES = os.environ["ZIFRA_SCRATCH_POSTGRES"]
KEYS = os.path.join(os.environ["ZIFRA_GOLDEN_DIR"], "play.keys")
# play.keys starts its last game at frame 1300 (F1): a game of 150 frames, 6 s.
FRAMES = 1450
# What the service allows beyond the time since the ticket (score_proofs.h).
SLACK_S = 2.0
EMAIL, NICKNAME, PASSWORD = "anna.berg@example.se", "Zifra-Anna", "hemligt1"
FORGER = "fuskare@example.se"


def first_line(process, timeout):
    ready, _, _ = select.select([process.stdout], [], [], timeout)
    return process.stdout.readline().decode().strip() if ready else ""


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=10)
    for pipe in (process.stdin, process.stdout):
        if pipe:
            pipe.close()


class Server:
    """zifra-server on a free loopback port."""

    def __init__(self, folder, database, *options):
        self.process = subprocess.Popen(
            [SERVER, "--listen", "127.0.0.1:0", "--db", database, *options],
            cwd=folder, stdout=subprocess.PIPE)
        line = first_line(self.process, 30)
        if "listening on http://127.0.0.1:" not in line:
            stop(self.process)
            raise RuntimeError(f"zifra-server did not start: {line!r}")
        self.site = line.split("listening on ")[1]

    def request(self, path, body=None, content_type=None):
        """(status, content type, body bytes)."""
        headers = {"Content-Type": content_type} if content_type else {}
        request = urllib.request.Request(self.site + path, data=body, headers=headers)
        try:
            with urllib.request.urlopen(request, timeout=10) as answer:
                return answer.status, answer.headers.get("Content-Type"), answer.read()
        except urllib.error.HTTPError as error:
            return error.code, error.headers.get("Content-Type"), error.read()

    def json(self, path, body=None, content_type="application/json"):
        status, kind, data = self.request(path, body, content_type if body is not None else None)
        assert kind == "application/json; charset=utf-8", (path, kind)
        return status, json.loads(data)

    def sign_up(self, email, nickname):
        form = urllib.parse.urlencode({"email": email, "nickname": nickname,
                                       "password": PASSWORD, "repeated": PASSWORD}).encode()
        status, _, _ = self.request("/reg3.htm", form, "application/x-www-form-urlencoded")
        assert status == 200, status
        # Without SMTP the server prints each mailed link: the confirmation's.
        line = first_line(self.process, 10)
        assert "mailed link: " in line and "/confirm.htm?token=" in line, line
        token = urllib.parse.parse_qs(urllib.parse.urlsplit(line.split("mailed link: ")[1]).query)["token"][0]
        status, _, _ = self.request("/confirm.htm", urllib.parse.urlencode({"token": token}).encode(),
                                    "application/x-www-form-urlencoded")
        assert status == 200, status

    def stop(self):
        stop(self.process)


class VerifiedScores:
    """The scenario; the subclasses give the database."""

    def database(self):
        raise NotImplementedError

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="zifra-verified-")
        self.servers = []

    def tearDown(self):
        for server in self.servers:
            server.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, *options):
        server = Server(self.folder, self.database(), *options)
        self.servers.append(server)
        return server

    def play_on_ticket(self, server):
        """(replay bytes, the score the game showed) of a game on a new ticket."""
        status, ticket = server.json("/api/v1/games", json.dumps({"email": EMAIL, "password": PASSWORD}).encode())
        self.assertEqual(status, 200, ticket)
        issued = time.monotonic()
        replay, trace = os.path.join(self.folder, "game.replay"), os.path.join(self.folder, "game.jsonl")
        subprocess.run([SIM, "--keys", KEYS, "--frames", str(FRAMES), "--record", replay, "--trace", trace,
                        "--ticket", ticket["ticket"], "--seed", str(ticket["seed"])], check=True, timeout=60)
        # The replay ends with the update that ended the game; the game goes
        # on behind its closing questions, and so may its score.
        shown, over = 0, False
        with open(trace) as f:
            for line in f:
                frame = json.loads(line)
                if not over:
                    shown = frame["score"]
                over = bool(frame["gameOver"])
        with open(replay, "rb") as f:
            data = f.read()
        # The service takes no game sooner than it could have been played.
        frames = json.loads(subprocess.run([REPLAY, replay], check=True, capture_output=True,
                                           timeout=60).stdout)["frames"]
        time.sleep(max(0.0, issued + frames * 0.04 - SLACK_S + 0.5 - time.monotonic()))
        return data, shown

    def test_a_replay_is_verified_listed_and_refused_again(self):
        server = self.start()
        server.sign_up(EMAIL, NICKNAME)
        replay, shown = self.play_on_ticket(server)

        status, receipt = server.json("/api/v1/scores", replay, "application/octet-stream")
        self.assertEqual(status, 202, receipt)
        self.assertEqual(receipt["status"], "pending")
        deadline = time.monotonic() + 30
        while True:
            status, state = server.json(f"/api/v1/scores/{receipt['id']}")
            if state["status"] != "pending" or time.monotonic() > deadline:
                break
            time.sleep(0.05)
        self.assertEqual(state, {"id": receipt["id"], "status": "verified", "score": shown, "reason": None})

        _, top = server.json("/api/top?gameid=4")
        self.assertEqual([(p["nickname"], p["score"], p["verified"]) for p in top["alltime"]], [(NICKNAME, shown, True)])
        _, _, page = server.request("/")
        self.assertIn(f"<td>{NICKNAME}</td><td class=\"score\">{shown}</td>".encode(), page)
        self.assertIn("<td class=\"bevis\">✓</td>".encode(), page)
        _, _, download = server.request(f"/api/v1/scores/{receipt['id']}/replay")
        self.assertEqual(download, replay)

        status, again = server.json("/api/v1/scores", replay, "application/octet-stream")
        self.assertEqual(status, 409)
        self.assertEqual(again["status"], "refused")

        # The same database, listing only what is proven.
        server.stop()
        strict = self.start("--verified-only")
        strict.sign_up(FORGER, "Fuskare")
        forged = score_form(FORGER, PASSWORD, 2000000, 86400000, checksum=1, length=2)
        status, _, answer = strict.request("/r0002.asp", forged, "application/x-www-form-urlencoded")
        self.assertEqual((status, answer.split(b"\r\n")[0]), (200, b"0"))
        _, top = strict.json("/api/top?gameid=4")
        self.assertEqual([(p["nickname"], p["verified"]) for p in top["alltime"]], [(NICKNAME, True)])
        _, _, page = strict.request("/")
        self.assertNotIn(b"Fuskare", page)


class OnSqlite(VerifiedScores, unittest.TestCase):
    def database(self):
        return f"sqlite:{self.folder}/scores.db"


class OnPostgres(VerifiedScores, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # The cluster's log stays out of the test's output.
        cls.cluster = subprocess.Popen([SCRATCH_POSTGRES], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL)
        cls.url = first_line(cls.cluster, 120)
        if not cls.url.startswith("postgresql://"):
            cls.tearDownClass()
            raise RuntimeError("the PostgreSQL cluster did not start")

    @classmethod
    def tearDownClass(cls):
        # A closed input stops it; past a minute, its process id does.
        cls.cluster.stdin.close()
        try:
            cls.cluster.wait(timeout=60)
        except subprocess.TimeoutExpired:
            pass
        stop(cls.cluster)

    def database(self):
        return self.url


if __name__ == "__main__":
    unittest.main()
