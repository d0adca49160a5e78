"""The browser game under test: zifra-server serving it (--web) on a free
loopback port in a folder of its own, and headless Chromium on its page.

The environment names the parts: ZIFRA_SERVER (zifra-server built natively),
ZIFRA_WEB_SITE (the web build's site folder) and ZIFRA_WEB_BUILD_LINE (its
known-builds line). Runs under Debian's python3, which has Selenium.
"""
import json
import os
import re
import select
import shutil
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PAGE_LOAD_TIMEOUT = 30


class ServerProcess:
    """zifra-server with the browser game, stopped by its process id."""

    def __init__(self, builds=True):
        self.folder = tempfile.mkdtemp(prefix="zifra-web-")
        command = [os.environ["ZIFRA_SERVER"], "--listen", "127.0.0.1:0", "--db", f"sqlite:{self.folder}/site.db",
                   "--web", os.environ["ZIFRA_WEB_SITE"]]
        if builds:
            command += ["--builds", os.environ["ZIFRA_WEB_BUILD_LINE"]]
        self.process = subprocess.Popen(command, cwd=self.folder, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        ready, _, _ = select.select([self.process.stdout], [], [], 30)
        line = self.process.stdout.readline().decode() if ready else ""
        found = re.search(r"listening on (http://\S+)", line)
        if not found:
            self.stop()
            raise RuntimeError(f"zifra-server did not start: {line!r}")
        self.site = found.group(1)

    def mailed_link(self, timeout=10):
        """The next link the server printed for mail (it has no SMTP server)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            ready, _, _ = select.select([self.process.stdout], [], [], max(0, deadline - time.monotonic()))
            line = self.process.stdout.readline().decode() if ready else ""
            found = re.search(r"mailed link: (\S+)", line)
            if found:
                return found.group(1)
        raise RuntimeError("zifra-server printed no mailed link")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=10)
        self.process.stdout.close()
        shutil.rmtree(self.folder, ignore_errors=True)


def headless_chromium(profile, recorder=None):
    """Chromium that may play sound without a gesture; `recorder` is script
    that runs in every page before the page's own."""
    options = webdriver.ChromeOptions()
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                 "--autoplay-policy=no-user-gesture-required", "--disable-background-networking",
                 "--disable-extensions", "--no-first-run", "--no-default-browser-check", "--no-proxy-server",
                 "--window-size=1000,800", f"--user-data-dir={profile}"):
        options.add_argument(flag)
    driver = webdriver.Chrome(options=options)
    driver.set_page_load_timeout(PAGE_LOAD_TIMEOUT)
    driver.set_script_timeout(120)
    if recorder:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": recorder})
    return driver


def wait_until(what, condition, timeout=20, step=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(step)
    raise AssertionError(f"timed out waiting for {what}")


class BrowserGame:
    """The game's page in one browser, and what the tests read of it."""

    def __init__(self, server, recorder=None):
        self.profile = tempfile.mkdtemp(prefix="zifra-chromium-")
        self.driver = headless_chromium(self.profile, recorder)
        self.site = server.site

    def open(self):
        self.driver.get(self.site + "/spela/")
        wait_until("the game's page to start", lambda: self.status() and self.status()["frames"] > 0)
        return self

    def close(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    def status(self):
        return self.driver.execute_script("return window.zifraPage ? window.zifraPage.status : null")

    def trace(self):
        """The page's game as zifra-sim's trace line tells it."""
        return json.loads(self.driver.execute_script(
            "const m = window.zifraPage.module;"
            "const p = m._zifra_trace_now(); let e = p; while (m.HEAPU8[e]) ++e;"
            "return new TextDecoder().decode(m.HEAPU8.subarray(p, e));"))

    def dialog(self, dialog_id):
        return self.driver.find_element(By.ID, dialog_id)

    def wait_for_dialog(self, dialog_id, timeout=20):
        return WebDriverWait(self.driver, timeout).until(lambda d: d.find_elements(By.ID, dialog_id))[0]

    def choose(self, menu, item):
        """Opens `menu` in the menu bar and clicks `item`."""
        for entry in self.driver.find_elements(By.CSS_SELECTOR, "#menu .meny"):
            title = entry.find_element(By.CSS_SELECTOR, ":scope > button")
            if title.text == menu:
                title.click()
                for command in entry.find_elements(By.CSS_SELECTOR, "li button"):
                    if command.text == item:
                        command.click()
                        return
        raise AssertionError(f"no menu item {menu} / {item}")
