#!/usr/bin/env python3
"""Runs zifra-sim briefly and checks its trace's shape and its exit statuses.

usage: check_trace.py ZIFRA_SIM WORK_DIR
"""
import json
import os
import struct
import subprocess
import sys

KEYS = ["tick", "score", "lives", "level", "speed", "gameOver", "servobot", "signal", "block",
        "diving", "star", "square", "vaktor", "codes", "cues", "drawn"]
NESTED = {"servobot": ["x", "hidden", "protected"], "signal": ["hidden", "x", "y"],
          "block": ["ox", "oy", "vx", "count"], "star": ["active", "x", "y"],
          "square": ["active", "x", "y"]}
FRAMES = 400


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def run(sim, *args):
    return subprocess.run([sim, *args], capture_output=True, text=True, timeout=60)


def check_line(line, tick, tiles_expected):
    keys = KEYS + (["tiles"] if tiles_expected else [])
    if sorted(line) != sorted(keys):
        fail(f"tick {tick}: keys {sorted(line)}, expected {sorted(keys)}")
    if line["tick"] != tick:
        fail(f"line {tick} carries tick {line['tick']}")
    for name, members in NESTED.items():
        if sorted(line[name]) != sorted(members):
            fail(f"tick {tick}: {name} has {sorted(line[name])}")
    if line["diving"] is not None and sorted(line["diving"]) != ["digit", "x", "y"]:
        fail(f"tick {tick}: diving is {line['diving']}")
    if len(line["vaktor"]) != 4 or len(line["codes"]) != 4:
        fail(f"tick {tick}: vaktor or codes not four entries")
    if not all(isinstance(cue, int) for cue in line["cues"]):
        fail(f"tick {tick}: cues {line['cues']}")
    if line["gameOver"] not in (0, 1) or line["drawn"] not in (0, 1):
        fail(f"tick {tick}: flags not 0/1")


def check_pngs(sim, directory):
    for name in os.listdir(directory) if os.path.isdir(directory) else []:
        os.remove(os.path.join(directory, name))
    result = run(sim, "--time", "1000", "--frames", "7", "--png", directory, "--every", "2")
    if result.returncode != 0:
        fail(f"--png gave status {result.returncode}: {result.stderr}")
    # Frame 0 is never drawn; every second drawn frame is written.
    expected = ["frame-000002.png", "frame-000004.png", "frame-000006.png"]
    if sorted(os.listdir(directory)) != expected:
        fail(f"--png wrote {sorted(os.listdir(directory))}")
    with open(os.path.join(directory, expected[0]), "rb") as f:
        head = f.read(26)
    width, height = struct.unpack(">II", head[16:24])
    if head[:8] != b"\x89PNG\r\n\x1a\n" or (width, height) != (400, 300) or head[24:26] != b"\x08\x02":
        fail("frames are not 400 x 300 RGB PNGs")


def main():
    sim, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    keys = os.path.join(work, "keys.txt")
    trace = os.path.join(work, "trace.jsonl")
    with open(keys, "w") as f:
        f.write("0 down space\n3 down right\n60 up right\n250 down f1\n")

    result = run(sim, "--time", "1000", "--frames", str(FRAMES), "--keys", keys, "--trace", trace)
    if result.returncode != 0:
        fail(f"exit status {result.returncode}: {result.stderr}")
    with open(trace) as f:
        lines = [json.loads(text) for text in f]
    if len(lines) != FRAMES:
        fail(f"{len(lines)} trace lines for {FRAMES} frames")
    for tick, line in enumerate(lines):
        check_line(line, tick, "tiles" in line)

    first = lines[0]
    if "tiles" not in first or len(first["tiles"]) != 40:
        fail("tick 0 does not list the 40 tiles of the first formation")
    if first["tiles"][0][:2] != [220, 130] or first["tiles"][-1][:2] != [10, 10]:
        fail("tiles not in list order (newest first)")
    if 177 not in first["cues"] or first["drawn"] != 0:
        fail("tick 0 should start cue 177 and not be drawn")
    if not all(line["drawn"] == 1 for line in lines[1:250]):
        fail("ticks on time were not drawn")
    if 178 not in lines[0]["cues"]:
        fail("holding space from tick 0 did not launch a signal")
    if lines[59]["servobot"]["x"] <= 30:
        fail("holding right did not move the Servobot")
    restarted = lines[250]
    if "tiles" not in restarted or restarted["drawn"] != 0 or 177 not in restarted["cues"]:
        fail("F1 did not build a new world at tick 250")

    check_pngs(sim, os.path.join(work, "png"))

    bad_keys = os.path.join(work, "bad_keys.txt")
    with open(bad_keys, "w") as f:
        f.write("5 down jump\n")
    missing = os.path.join(work, "missing.txt")
    for args, what, says in ((["--frames", "3", "--nonsense"], "an unknown option", "unknown option"),
                             (["--frames", "3", "--keys", bad_keys], "an unknown key", bad_keys + ":1: expected"),
                             (["--frames", "3", "--keys", missing], "a missing key file", "cannot read key file"),
                             (["--frames", "3", "--keys", work], "a folder as key file", "cannot read key file"),
                             (["--frames", "many"], "a bad number", "bad value for --frames")):
        result = run(sim, *args)
        if result.returncode != 2:
            fail(f"{what} gave status {result.returncode}, expected 2")
        if len(result.stderr.strip().splitlines()) != 1 or says not in result.stderr:
            fail(f"{what} should give a one-line error saying {says!r}, gave: {result.stderr!r}")
    print("trace shape and exit statuses as expected")


if __name__ == "__main__":
    main()
