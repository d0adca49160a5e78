#!/usr/bin/env python3
"""Runs the loopback build's submission_roundtrip.exe under Wine against the
loopback competition server: an accepted answer, an answer that is no number,
and a refused connection with nothing listening."""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from competition_server import CompetitionServer  # noqa: E402

failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what)
    if not ok:
        failures.append(what)


def submit(args, user, password, score, integrity_flag):
    """The record's outcome after one submitScore: resultCode, versionNumber, score, message."""
    env = {k: v for k, v in os.environ.items() if "proxy" not in k.lower()}
    run = subprocess.run([args.wine_run, args.prefix, args.program, user, password, str(score), str(integrity_flag)],
                         capture_output=True, text=True, timeout=120, env=env)
    outcome = dict(line.strip().split("=", 1) for line in run.stdout.splitlines() if "=" in line)
    if run.returncode != 0 or set(outcome) != {"resultCode", "versionNumber", "score", "message"}:
        sys.exit(f"submission_roundtrip.exe failed ({run.returncode}):\n{run.stdout}\n{run.stderr}")
    return (int(outcome["resultCode"]), int(outcome["versionNumber"]), int(outcome["score"]),
            bytes.fromhex(outcome["message"]).decode("latin-1"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--port", type=int, required=True)
    args = parser.parse_args()

    proxy_page = "<html><body>502 Bad Gateway</body></html>"
    with CompetitionServer(args.port, args.program, ["\r\n0\r\n5\r\n", proxy_page]) as server:
        outcome = submit(args, "anna.berg@example.se", "hemligt", 1250, 0)
        check(outcome == (0, 5, 1250, "0\r\n5"), f"an answer of 0 and version 5 is an acceptance: {outcome}")

        outcome = submit(args, "göran@example.se", "lösen", 1250, 1)
        check(outcome == (-3, 0, -1250, proxy_page), f"an answer without a number is no acceptance: {outcome}")

        check(len(server.submissions) == 2, "the server got both posts")
        for submission in server.submissions:
            check(submission["problems"] == [], f"the post keeps the protocol: {submission['problems']}")
            print("        " + " ".join(f"{k}={v}" for k, v in submission["fields"].items()))
        first, second = (s["fields"] for s in server.submissions)
        check((first["f1"], first["f3"], first["f4"]) == ("anna.berg@example.se", "hemligt", "1250"),
              "name, password and score arrive as sent")
        check((second["f1"], second["f3"], second["f4"]) == ("göran@example.se", "lösen", "-1250"),
              "an untrusted score arrives negated, Swedish letters in code page 1252")
        check(int(first["f6"]) > 0 and first["f7"] == "CPU UNKNOWN", "speed count and processor text")

    outcome = submit(args, "anna.berg@example.se", "hemligt", 1250, 0)
    check(outcome[0] != 0, f"a refused connection is no acceptance: resultCode {outcome[0]}")
    check(outcome[1] == 3, "the version number stands when nothing was read")

    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
