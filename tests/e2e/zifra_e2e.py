"""Drives the real zifra.exe under Wine on a private Xvfb display.

One `Game` is one run of the program: its own X server (found with
-displayfd, so parallel runs never collide), the shared Wine prefix of this
test run (initialised once, by cmake/wine-run), real X key and mouse events
through xdotool, and screenshots read pixel by pixel. A stand-in `xdg-open`
first on the PATH records every address the program hands to the browser.

Xvfb has no window manager, and without one nothing can minimise a window or
give the focus back to Wine (Wine waits for the manager's WM_TAKE_FOCUS). A
run that needs those starts Openbox on its display first: minimising is then
the manager's iconify (what its minimise button does) and switching between
programs its activation (what Alt-Tab does), both asked for through xdotool.

Everything it starts it stops again by process id; `wineserver -k` only ever
acts on the prefix given to it. Every wait has a time limit.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

WINE_ENV = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe=",
}

WINDOW_TITLE = "Zifra Invaders"


class TimedOut(AssertionError):
    pass


def exact_title(title):
    """An xdotool (POSIX extended) pattern matching exactly `title`."""
    return "^" + "".join("\\" + c if c in ".[]()*+?{}|^$\\" else c for c in title) + "$"


def wait_until(condition, timeout, interval=0.1, what="condition"):
    """Polls `condition` until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise TimedOut(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class Screenshot:
    """The whole screen as RGB triples, from a binary PPM."""

    def __init__(self, ppm):
        fields = []
        pos = 0
        while len(fields) < 4:
            while ppm[pos : pos + 1].isspace():
                pos += 1
            if ppm[pos : pos + 1] == b"#":
                pos = ppm.index(b"\n", pos)
                continue
            end = pos
            while not ppm[end : end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("not an 8-bit binary PPM")
        self.width = int(fields[1])
        self.height = int(fields[2])
        self.data = ppm[pos + 1 :]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i : i + 3])

    def count(self, left, top, width, height, predicate):
        """How many pixels of the rectangle satisfy `predicate(rgb)`."""
        return sum(
            1
            for y in range(top, top + height)
            for x in range(left, left + width)
            if predicate(self.pixel(x, y))
        )

    def find(self, left, top, width, height, predicate):
        """The pixels of the rectangle that satisfy `predicate(rgb)`."""
        return [
            (x, y)
            for y in range(top, top + height)
            for x in range(left, left + width)
            if predicate(self.pixel(x, y))
        ]


class Game:
    """zifra.exe running on its own display; use as a context manager."""

    def __init__(self, exe, wine_run, prefix, workdir, args=(), window_manager=False):
        self.exe = os.path.abspath(exe)
        self.args = list(args)
        self.window_manager = window_manager
        self.wine_run = os.path.abspath(wine_run)
        self.prefix = os.path.abspath(prefix)
        os.makedirs(workdir, exist_ok=True)
        self.workdir = tempfile.mkdtemp(prefix="zifra-e2e-", dir=workdir)
        self.browser_log = os.path.join(self.workdir, "opened-addresses.txt")
        self.wine_log = os.path.join(self.workdir, "wine-output.txt")
        self.xvfb = None
        self.manager = None
        self.wine = None
        self.others = []
        self.display = None
        self.started_at = None

    # -- starting and stopping -------------------------------------------

    def __enter__(self):
        try:
            self._start_display()
            if self.window_manager:
                self._start_window_manager()
            self._start_program()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,),
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n"):
            if time.monotonic() > deadline:
                raise TimedOut("Xvfb did not report its display")
            chunk = os.read(read_end, 16)
            if not chunk:
                raise RuntimeError("Xvfb ended before reporting its display")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()

    def _start_window_manager(self):
        env = dict(os.environ, DISPLAY=self.display)
        with open(os.path.join(self.workdir, "openbox-output.txt"), "wb") as log:
            self.manager = subprocess.Popen(
                ["openbox", "--sm-disable"], env=env, stdout=log, stderr=subprocess.STDOUT
            )

        def managing():
            out = subprocess.run(
                ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env, capture_output=True, text=True, timeout=10
            ).stdout
            return "window id" in out

        wait_until(managing, 20, what="the window manager to take over the display")

    def _stand_in_browser(self):
        bin_dir = os.path.join(self.workdir, "bin")
        os.makedirs(bin_dir, exist_ok=True)
        script = os.path.join(bin_dir, "xdg-open")
        with open(script, "w") as f:
            f.write('#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' % self.browser_log)
        os.chmod(script, 0o755)
        return bin_dir

    def env(self):
        env = dict(os.environ)
        env.update(WINE_ENV)
        env["WINEPREFIX"] = self.prefix
        env["DISPLAY"] = self.display
        env["PATH"] = self._stand_in_browser() + os.pathsep + env.get("PATH", "")
        return env

    def _start_program(self):
        self.started_at = time.monotonic()
        # Wine's own complaints are kept, to explain a window that never comes.
        with open(self.wine_log, "wb") as log:
            self.wine = subprocess.Popen(
                [self.wine_run, self.prefix, self.exe] + self.args,
                env=self.env(),
                cwd=self.workdir,
                stdout=log,
                stderr=subprocess.STDOUT,
            )

    def start_other_program(self, *command):
        """Another Windows program in this run's Wine session (its own
        process, stopped at the end like the rest)."""
        other = subprocess.Popen(
            [self.wine_run, self.prefix] + list(command),
            env=self.env(),
            cwd=self.workdir,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        self.others.append(other)
        return other

    def _wine_report(self):
        state = "still running" if self.wine and self.wine.poll() is None else f"ended with {self.wine.poll()}"
        try:
            with open(self.wine_log, "rb") as f:
                tail = f.read()[-2000:].decode(errors="replace")
        except OSError:
            tail = ""
        return f"wine {state}; its output ends:\n{tail}"

    def close(self):
        """Stops what this run started; each step runs even if one before failed."""
        try:
            for process in [self.wine] + self.others:
                if process and process.poll() is None:
                    process.kill()
                    process.wait(timeout=10)
        finally:
            try:
                if self.display:
                    # Every process of this prefix, and only of this prefix.
                    subprocess.run(["wineserver", "-k"], env=self.env(), timeout=30, check=False)
                    subprocess.run(["wineserver", "-w"], env=self.env(), timeout=30, check=False)
            finally:
                self._stop(self.manager)
                self._stop(self.xvfb)
                shutil.rmtree(self.workdir, ignore_errors=True)

    @staticmethod
    def _stop(process):
        if process and process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(timeout=10)

    def exit_code(self, timeout=20):
        """The program's exit code once it has ended by itself."""
        try:
            return self.wine.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TimedOut(f"the program did not end within {timeout} s")

    def cpu_seconds(self):
        """Processor time the program has used so far (user + system)."""
        with open(f"/proc/{self.wine.pid}/stat") as f:
            fields = f.read().rpartition(")")[2].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def wine_processes(self):
        """Process ids still running inside this run's prefix."""
        result = subprocess.run(
            ["ps", "-eo", "pid=,args="], capture_output=True, text=True, timeout=10, check=True
        )
        pids = []
        for line in result.stdout.splitlines():
            pid, _, args = line.strip().partition(" ")
            try:
                with open(f"/proc/{pid}/environ", "rb") as f:
                    environ = f.read().split(b"\0")
            except OSError:
                continue
            if ("WINEPREFIX=" + self.prefix).encode() in environ and "wineserver" not in args:
                pids.append(int(pid))
        return pids

    # -- X tools ----------------------------------------------------------

    def _x(self, *args, timeout=20, check=True):
        return subprocess.run(
            list(args), env=self.env(), capture_output=True, text=True, timeout=timeout, check=check
        ).stdout

    def find_window(self, title, timeout=30, exact=True):
        """The X window id of the visible window titled exactly `title` (or
        whose title matches the extended regular expression `title`)."""

        def search():
            pattern = exact_title(title) if exact else title
            out = self._x("xdotool", "search", "--onlyvisible", "--name", pattern, check=False)
            ids = out.split()
            return ids[0] if ids else None

        try:
            return wait_until(search, timeout, interval=0.2, what=f'the window "{title}"')
        except TimedOut as timed_out:
            raise TimedOut(f"{timed_out}\n{self._wine_report()}") from None

    def window_exists(self, title):
        out = self._x("xdotool", "search", "--onlyvisible", "--name", exact_title(title), check=False)
        return bool(out.split())

    def geometry(self, window):
        """(x, y, width, height) of the window on the screen."""
        info = {}
        for line in self._x("xwininfo", "-id", window).splitlines():
            key, _, value = line.strip().partition(":")
            info[key] = value.strip()
        return (
            int(info["Absolute upper-left X"]),
            int(info["Absolute upper-left Y"]),
            int(info["Width"]),
            int(info["Height"]),
        )

    def screenshot(self):
        ppm = subprocess.run(
            ["import", "-window", "root", "-depth", "8", "ppm:-"],
            env=self.env(),
            capture_output=True,
            timeout=20,
            check=True,
        ).stdout
        return Screenshot(ppm)

    def save_screenshot(self, path, window=None):
        """A PNG of the screen, or of one window's rectangle."""
        args = ["import", "-window", "root"]
        if window:
            x, y, w, h = self.geometry(window)
            args += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
        subprocess.run(args + [path], env=self.env(), timeout=20, check=True)

    def focus(self, window):
        """Gives `window` the keyboard; with a window manager, through it, as
        switching programs does."""
        if self.window_manager:
            self._x("xdotool", "windowactivate", "--sync", window)
        else:
            self._x("xdotool", "windowfocus", "--sync", window, check=False)

    # With a window manager only (see the module's notes):

    def minimise(self, window):
        self._x("xdotool", "windowminimize", "--sync", window)

    def is_mapped(self, window):
        """Whether the window is on the screen (a minimised one is not)."""
        return "IsViewable" in self._x("xwininfo", "-id", window)

    def move(self, window, x, y):
        self._x("xdotool", "windowmove", "--sync", window, str(x), str(y))

    def key(self, *keys, delay_ms=60):
        self._x("xdotool", "key", "--delay", str(delay_ms), *keys)

    def key_down(self, key):
        self._x("xdotool", "keydown", key)

    def key_up(self, key):
        self._x("xdotool", "keyup", key)

    def type_text(self, text):
        """Types `text` into the window that has the focus."""
        self._x("xdotool", "type", "--delay", "30", text)

    def click(self, x, y):
        x, y = int(x), int(y)
        here = dict(line.split("=", 1) for line in self._x("xdotool", "getmouselocation", "--shell").split())
        # --sync waits for the pointer to move, which it never does when it is
        # there already (xdotool then gives up only after some 15 s).
        sync = ["--sync"] if (int(here["X"]), int(here["Y"])) != (x, y) else []
        self._x("xdotool", "mousemove", *sync, str(x), str(y), "click", "1")

    def opened_addresses(self):
        """Addresses handed to the browser so far, in order."""
        try:
            with open(self.browser_log) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []
