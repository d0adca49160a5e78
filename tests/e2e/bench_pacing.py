#!/usr/bin/env python3
"""Benchmark: processor use and frame periods of the shipped zifra.exe under Wine.

    python3 tests/e2e/bench_pacing.py [--exe build/windows/app/zifra.exe] [--seconds 20]

Plays for the given time (Space held, Left and Right in turn) on a private
Xvfb display and measures, from outside the program:

- processor use: the program's process time (user + system, all threads)
  over the played time, as a share of one core; the X server's beside it;
- frame periods: Wine's relay trace of the call that puts each frame on the
  window (the 400 x 300 BitBlt), with Wine's millisecond timestamps, the
  trace restricted to that one call so that it stays cheap.

It prints the figures and the load of the machine (timing is only as good as
the machine is quiet). A benchmark to run by hand, not a test: it judges
nothing. It uses a Wine prefix of its own (build/windows/bench-wineprefix by
default) and stops everything it started, by process id.
"""
import argparse
import collections
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zifra_e2e import Game, WINDOW_TITLE, wait_until  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PRESENT_CALLS = "gdi32.BitBlt"
# "<seconds>.<ms>:<thread>:Call gdi32.BitBlt(<hdc>,<x>,<y>,<width>,<height>,..." with
# the sizes in hexadecimal: the frame is the 400 (0x190) x 300 (0x12c) copy to (0, 0).
PRESENT_LINE = re.compile(r"^(\d+)\.(\d{3}):[0-9a-f]+:Call gdi32\.BitBlt\([0-9a-f]+,0+,0+,0*190,0*12c,")


class TracedGame(Game):
    """A Game whose Wine writes the relay trace of the present call."""

    def env(self):
        env = super().env()
        env["WINEDEBUG"] = "+timestamp,+relay"
        return env


def present_times(log_path):
    """Wine's timestamps (ms) of the frames put on the window so far."""
    times = []
    with open(log_path, "rb") as f:
        for raw in f:
            match = PRESENT_LINE.match(raw.decode(errors="replace"))
            if match:
                times.append(int(match.group(1)) * 1000 + int(match.group(2)))
    return times


def process_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rpartition(")")[2].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def set_relay_filter(wine_run, prefix):
    """Limits the relay trace to the present call (a setting of the prefix)."""
    subprocess.run(
        [wine_run, prefix, "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/t", "REG_SZ",
         "/d", PRESENT_CALLS, "/f"],
        env=dict(os.environ, WINEDEBUG="-all", DISPLAY=""),
        check=True, timeout=300, capture_output=True,
    )
    subprocess.run(["wineserver", "-w"], env=dict(os.environ, WINEPREFIX=os.path.abspath(prefix)), timeout=60)


def play(game, seconds):
    """Space held, Left and Right held by turns, for `seconds`."""
    game.key_down("space")
    try:
        end = time.monotonic() + seconds
        direction = "Right"
        while time.monotonic() < end:
            game.key_down(direction)
            time.sleep(min(1.0, max(0.0, end - time.monotonic())))
            game.key_up(direction)
            direction = "Left" if direction == "Right" else "Right"
    finally:
        game.key_up("space")


def report(periods, program_cpu, x_cpu, seconds, load_before, load_after):
    count = len(periods)
    mean = sum(periods) / count
    within = sum(1 for p in periods if abs(p - 40) <= 2)
    print(f"machine: {os.cpu_count()} cores, load average {load_before} before, {load_after} after")
    print(f"played {seconds:.1f} s")
    print(f"processor: zifra.exe {100 * program_cpu / seconds:.1f} % of one core, "
          f"X server {100 * x_cpu / seconds:.1f} %")
    print(f"frames: {count + 1} presented, mean period {mean:.2f} ms, "
          f"{100 * within / count:.1f} % within 40 +/- 2 ms, shortest {min(periods)} ms, longest {max(periods)} ms")
    histogram = collections.Counter(periods)
    print("periods (ms: frames): " + ", ".join(f"{p}: {histogram[p]}" for p in sorted(histogram)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--exe", default=os.path.join(ROOT, "build/windows/app/zifra.exe"))
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--prefix", default=os.path.join(ROOT, "build/windows/bench-wineprefix"))
    parser.add_argument("--workdir", default=os.path.join(ROOT, "build/windows/bench-runs"))
    args = parser.parse_args()
    wine_run = os.path.join(ROOT, "cmake/wine-run")

    set_relay_filter(wine_run, args.prefix)
    with open("/proc/loadavg") as f:
        load_before = " ".join(f.read().split()[:3])
    with TracedGame(args.exe, wine_run, args.prefix, args.workdir) as game:
        window = game.find_window(WINDOW_TITLE, timeout=180)
        wait_until(lambda: present_times(game.wine_log), 30, 0.2, "the first frame")
        game.focus(window)
        time.sleep(3)  # past the frames made up for the start-up
        first = len(present_times(game.wine_log))
        started = time.monotonic()
        program_before = process_seconds(game.wine.pid)
        x_before = process_seconds(game.xvfb.pid)
        play(game, args.seconds)
        seconds = time.monotonic() - started
        program_cpu = process_seconds(game.wine.pid) - program_before
        x_cpu = process_seconds(game.xvfb.pid) - x_before
        times = present_times(game.wine_log)[first:]
    with open("/proc/loadavg") as f:
        load_after = " ".join(f.read().split()[:3])
    if len(times) < 2:
        raise SystemExit("no frames were traced: is the relay trace working in this Wine?")
    periods = [b - a for a, b in zip(times, times[1:])]
    report(periods, program_cpu, x_cpu, seconds, load_before, load_after)


if __name__ == "__main__":
    main()
