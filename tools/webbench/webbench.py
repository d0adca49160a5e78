#!/usr/bin/env python3
"""The browser game's figures on this machine: what the page transfers, how
soon after navigation its first frame shows, and the game's own work per
frame in the browser beside zifra-sim --bench. A measurement, not a test:
it prints the figures and the targets beside them.

usage: webbench.py ZIFRA_SERVER WEB_SITE_DIR ZIFRA_SIM [--loads N] [--frames N]

Runs under Debian's python3 (Selenium, headless Chromium); starts
zifra-server on a free loopback port in a scratch folder and stops it by its
process id.
"""
import argparse
import gzip
import os
import re
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

from selenium import webdriver

# Plays `frames` ticks of the idle game (seed 0, as zifra-sim --bench) in
# the module and times them on the page's clock; also the page's own work
# for one frame (palette and canvas), averaged.
BENCH = """
const [frames, done] = arguments;
const page = window.zifraPage;
page.stop();
const m = page.module;
const script = m._malloc(1); m.HEAPU8[script] = 0;
m._zifra_check_begin(0, script);
m._free(script);
const start = performance.now();
const played = m._zifra_check_play(frames);
const program = (performance.now() - start) * 1000 / played;
const shown = performance.now();
for (let i = 0; i < 200; ++i) { page.screen.take(m, m._zifra_check_screen()); page.screen.present(); }
done({played, program, page: (performance.now() - shown) * 1000 / 200});
"""


def chromium(profile):
    options = webdriver.ChromeOptions()
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                 "--autoplay-policy=no-user-gesture-required", "--no-first-run", "--no-proxy-server",
                 "--disable-background-networking", f"--user-data-dir={profile}"):
        options.add_argument(flag)
    driver = webdriver.Chrome(options=options)
    driver.set_page_load_timeout(30)
    driver.set_script_timeout(300)
    return driver


def wait_for(condition, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value is not None:
            return value
        time.sleep(0.02)
    raise SystemExit("webbench: the page did not show a frame in time")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("server")
    parser.add_argument("site")
    parser.add_argument("sim")
    parser.add_argument("--loads", type=int, default=5)
    parser.add_argument("--frames", type=int, default=3000)
    args = parser.parse_args()
    args.server, args.site, args.sim = (os.path.abspath(p) for p in (args.server, args.site, args.sim))

    folder = tempfile.mkdtemp(prefix="zifra-webbench-")
    server = subprocess.Popen([args.server, "--listen", "127.0.0.1:0", "--db", f"sqlite:{folder}/bench.db",
                               "--web", args.site], cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    driver = None
    try:
        ready, _, _ = select.select([server.stdout], [], [], 30)
        line = server.stdout.readline().decode() if ready else ""
        found = re.search(r"listening on (http://\S+)", line)
        if not found:
            raise SystemExit(f"webbench: zifra-server did not start: {line!r}")
        page = found.group(1) + "/spela/"
        driver = chromium(os.path.join(folder, "profile"))

        # What the page loads, fetched as the browser fetched it.
        driver.get(page)
        wait_for(lambda: driver.execute_script("return window.zifraPage ? window.zifraPage.status.firstFrameAt : null"))
        urls = [page] + driver.execute_script(
            "return performance.getEntriesByType('resource').map((e) => e.name)"
            ".filter((n) => n.includes('/spela/'))")
        raw = packed = 0
        print("transferred (raw / gzip -9):")
        for url in urls:
            with urllib.request.urlopen(url, timeout=10) as answer:
                body = answer.read()
            size = len(gzip.compress(body, 9))
            raw += len(body)
            packed += size
            print(f"  {url.rsplit('/spela/', 1)[1] or 'index.html':16} {len(body):7d} B  {size:7d} B")
        print(f"  {'total':16} {raw:7d} B  {packed:7d} B  (target <= 150 kB gzipped: "
              f"{'met' if packed <= 150 * 1024 else 'MISSED'})")

        # Navigation to the first frame, each load afresh (cache off).
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        firsts = []
        for _ in range(args.loads):
            driver.get("about:blank")
            driver.get(page)
            firsts.append(wait_for(lambda: driver.execute_script(
                "return window.zifraPage ? window.zifraPage.status.firstFrameAt : null")))
        median = statistics.median(firsts)
        print(f"navigation to first frame: median {median:.0f} ms of {args.loads} loads "
              f"(min {min(firsts):.0f}, max {max(firsts):.0f}; target <= 1000 ms: "
              f"{'met' if median <= 1000 else 'MISSED'})")

        bench = driver.execute_async_script(BENCH, args.frames)
        native = subprocess.run([args.sim, "--bench", "--frames", str(args.frames)], capture_output=True, text=True,
                                timeout=300)
        mean = re.search(r"mean ([\d.]+) us", native.stdout)
        if not mean:
            raise SystemExit(f"webbench: zifra-sim --bench said {native.stdout!r} {native.stderr!r}")
        ratio = bench["program"] / float(mean.group(1))
        print(f"the game's work per frame: browser {bench['program']:.1f} us over {bench['played']} frames, "
              f"zifra-sim --bench {float(mean.group(1)):.1f} us: {ratio:.2f}x native "
              f"(target <= 3x: {'met' if ratio <= 3 else 'MISSED'})")
        print(f"the page's own work per shown frame (palette and canvas): {bench['page']:.1f} us")
    finally:
        if driver:
            driver.quit()
        if server.poll() is None:
            server.terminate()
            try:
                server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                server.kill()
                server.wait(timeout=10)
        server.stdout.close()
        shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
