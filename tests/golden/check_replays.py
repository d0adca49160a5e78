#!/usr/bin/env python3
"""Proves the committed replays of the recorded games and compares the results.

Each replay in replays/ is the last world of one of check_golden.py's games,
as zifra-sim --record wrote it. zifra-replay must print exactly the result
recorded beside it (NAME.expected): a change of the rules that re-scores an
old replay fails here. zifra-sim must also still record each game byte for
byte as committed, so the recorder and the encoding stay as they were.

usage: check_replays.py ZIFRA_REPLAY ZIFRA_SIM FIXTURE_DIR WORK_DIR [--record]

--record writes the replays and their results afresh; do that only together
with a new rules version.
"""
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
from check_golden import SCENARIOS  # noqa: E402

TICKET = "golden"


def record(sim, fixtures, path, name):
    seconds, frames, keys = SCENARIOS[name]
    args = [sim, "--time", str(seconds), "--frames", str(frames), "--record", path, "--ticket", TICKET]
    if keys:
        args += ["--keys", os.path.join(fixtures, keys)]
    result = subprocess.run(args, capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise SystemExit(f"FAIL: {name}: zifra-sim gave status {result.returncode}: {result.stderr}")
    with open(path, "rb") as f:
        return f.read()


def prove(replay_tool, path):
    result = subprocess.run([replay_tool, path], capture_output=True, text=True, timeout=60)
    return result.returncode, result.stdout


def main():
    if len(sys.argv) not in (5, 6) or (len(sys.argv) == 6 and sys.argv[5] != "--record"):
        raise SystemExit(__doc__)
    replay_tool, sim, fixtures, work = sys.argv[1:5]
    writing = len(sys.argv) == 6
    os.makedirs(work, exist_ok=True)
    failures = []
    for name in SCENARIOS:
        committed = os.path.join(fixtures, "replays", name + ".zrpl")
        expected_file = os.path.join(fixtures, "replays", name + ".expected")
        fresh = record(sim, fixtures, os.path.join(work, name + ".zrpl"), name)
        if writing:
            with open(committed, "wb") as f:
                f.write(fresh)
            status, line = prove(replay_tool, committed)
            if status != 0:
                raise SystemExit(f"FAIL: {name}: the fresh replay is refused: {line}")
            with open(expected_file, "w") as f:
                f.write(line)
            print(f"{name}: recorded {len(fresh)} bytes, {line.strip()}")
            continue
        with open(committed, "rb") as f:
            if f.read() != fresh:
                failures.append(f"{name}: zifra-sim no longer records the committed replay")
        with open(expected_file) as f:
            expected = f.read()
        status, line = prove(replay_tool, committed)
        if status != 0 or line != expected:
            failures.append(f"{name}: zifra-replay says {line.strip()!r} (status {status}), recorded {expected.strip()!r}")
        else:
            print(f"{name}: {line.strip()}")
    if failures:
        print("FAIL:\n" + "\n".join(failures))
        sys.exit(1)


if __name__ == "__main__":
    main()
