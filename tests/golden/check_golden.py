#!/usr/bin/env python3
"""Plays fixed games in zifra-sim and compares them with the recorded ones.

Each scenario's trace must equal its recorded trace byte for byte, and every
100th drawn frame must show exactly the recorded pixels (compared by a hash of
the decoded RGB rows, so the PNG encoder's choices do not matter).

usage: check_golden.py ZIFRA_SIM FIXTURE_DIR WORK_DIR [--record]

--record writes the fixtures afresh from ZIFRA_SIM instead of comparing; do
that only for a change that is meant to alter the game.
"""
import gzip
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import zlib

# name: (calendar second, frames, key file or None)
SCENARIOS = {
    # Nobody plays: the tiles take the four lives, and the game goes on
    # behind the closing questions.
    "idle": (1000, 3000, None),
    # Moves, a tap too short to be seen, Left and Right together, Up and Down,
    # new games by F1 (one of them after a game over), scoring in all three.
    "play": (1000, 2400, "play.keys"),
    # Space held from the start: a cleared level, a score, and a game over.
    "over": (2024, 1500, "over.keys"),
}
EVERY = 100


def png_rows_hash(path):
    """SHA-256 of the decoded RGB rows of an 8-bit RGB, non-interlaced PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path} is not a PNG")
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos : pos + 8])
        body = data[pos + 8 : pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if (depth, colour, interlace) != (8, 2, 0):
                raise ValueError(f"{path}: not 8-bit RGB without interlacing")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 3
    previous = bytearray(stride)
    digest = hashlib.sha256()
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1 : start + 1 + stride])
        for i in range(stride):
            left = row[i - 3] if i >= 3 else 0
            up = previous[i]
            upper_left = previous[i - 3] if i >= 3 else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - upper_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upper_left)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else upper_left
                row[i] = (row[i] + predictor) & 0xFF
        digest.update(row)
        previous = row
    return digest.hexdigest()


def play(sim, fixtures, work, name):
    """Runs one scenario; returns its trace bytes and its frame hash lines."""
    seconds, frames, keys = SCENARIOS[name]
    trace = os.path.join(work, name + ".jsonl")
    pngs = os.path.join(work, name + "-frames")
    shutil.rmtree(pngs, ignore_errors=True)
    args = [sim, "--time", str(seconds), "--frames", str(frames), "--trace", trace, "--png", pngs, "--every", str(EVERY)]
    if keys:
        args += ["--keys", os.path.join(fixtures, keys)]
    result = subprocess.run(args, capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise SystemExit(f"FAIL: {name}: zifra-sim gave status {result.returncode}: {result.stderr}")
    with open(trace, "rb") as f:
        lines = f.read()
    hashes = "".join(f"{png} {png_rows_hash(os.path.join(pngs, png))}\n" for png in sorted(os.listdir(pngs)))
    return lines, hashes


def first_difference(actual, expected):
    for number, (a, e) in enumerate(zip(actual.splitlines(), expected.splitlines()), start=1):
        if a != e:
            return f"line {number} differs:\n  now:      {a[:300]!r}\n  recorded: {e[:300]!r}"
    return f"{len(actual.splitlines())} lines now, {len(expected.splitlines())} recorded"


def main():
    if len(sys.argv) not in (4, 5) or (len(sys.argv) == 5 and sys.argv[4] != "--record"):
        raise SystemExit(__doc__)
    sim, fixtures, work = sys.argv[1:4]
    record = len(sys.argv) == 5
    os.makedirs(work, exist_ok=True)
    failures = []
    for name in SCENARIOS:
        trace, hashes = play(sim, fixtures, work, name)
        trace_file = os.path.join(fixtures, name + ".trace.jsonl.gz")
        frames_file = os.path.join(fixtures, name + ".frames")
        if record:
            with open(trace_file, "wb") as f:
                # mtime 0: the same trace always gives the same file.
                f.write(gzip.compress(trace, compresslevel=9, mtime=0))
            with open(frames_file, "w") as f:
                f.write(hashes)
            print(f"{name}: recorded {len(trace.splitlines())} trace lines, {len(hashes.splitlines())} frames")
            continue
        with gzip.open(trace_file, "rb") as f:
            expected = f.read()
        with open(frames_file) as f:
            expected_hashes = f.read()
        if trace != expected:
            failures.append(f"{name}: trace {first_difference(trace.decode(), expected.decode())}")
        if hashes != expected_hashes:
            failures.append(f"{name}: frames {first_difference(hashes, expected_hashes)}")
        if trace == expected and hashes == expected_hashes:
            print(f"{name}: {len(trace.splitlines())} trace lines and {len(hashes.splitlines())} frames as recorded")
    if failures:
        print("FAIL:\n" + "\n".join(failures))
        sys.exit(1)


if __name__ == "__main__":
    main()
