"""The real zifra-server and headless Chromium, for the browser tests of the
competition site.

zifra-server runs on 127.0.0.1:ZIFRA_LOOPBACK_PORT, where the loopback
build's zifra.exe sends its scores, with a fresh SQLite file in a folder of
its own, only that exe's build known, and its mail in the folder's outbox.
The organiser's `zifra-server admin` runs on the same database and folder.
Each `Browser` is a Chromium with a profile of its own, so two of them share
no cookie. Everything started here is stopped by its process id, and every
wait has a limit.

Needs Debian's python3, which has Selenium.
"""

import email
import glob
import os
import select
import shutil
import subprocess
import tempfile
import urllib.error
import urllib.parse
import urllib.request

from selenium import webdriver
from selenium.common.exceptions import WebDriverException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.expected_conditions import staleness_of
from selenium.webdriver.support.ui import WebDriverWait

from zifra_e2e import wait_until

PORT = int(os.environ["ZIFRA_LOOPBACK_PORT"])
SITE = f"http://127.0.0.1:{PORT}"
FORM_TYPE = "application/x-www-form-urlencoded"
# What Selenium may take for a form's button; the sign-out form is never the
# page's form.
SUBMIT_BUTTON = "button:not([type=button]):not([type=reset]), input[type=submit]"
PAGE_FORM = "//form[not(contains(@action, '/logga-ut.htm'))]"
SIGN_OUT_FORM = "//form[contains(@action, '/logga-ut.htm')]"


class CompetitionServerProcess:
    """zifra-server in a folder of its own; stopped by its process id."""

    def __init__(self, *options):
        self.folder = tempfile.mkdtemp(prefix="zifra-site-")
        self.database = f"sqlite:{self.folder}/site.db"
        self.process = subprocess.Popen(
            [os.environ["ZIFRA_SERVER"], "--listen", f"127.0.0.1:{PORT}", "--db", self.database,
             "--site", SITE, "--builds", os.environ["ZIFRA_BUILD_LINE"], *options],
            cwd=self.folder, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        ready, _, _ = select.select([self.process.stdout], [], [], 30)
        line = self.process.stdout.readline().decode() if ready else ""
        if "listening on" not in line:
            self.stop()
            raise RuntimeError(f"zifra-server did not start: {line!r}")

    def mails(self):
        """The messages in the outbox, parsed, oldest first."""
        messages = []
        for path in sorted(glob.glob(os.path.join(self.folder, "outbox", "*.eml")), key=os.path.getmtime):
            with open(path, "rb") as f:
                messages.append(email.message_from_bytes(f.read()))
        return messages

    def mail_to(self, address, holding, what, timeout=10):
        """(message, body text) of the first mail to `address` whose body
        holds `holding`, once it has come."""
        def find():
            for mail in self.mails():
                body = mail.get_payload(decode=True).decode()
                if mail["To"] == address and holding in body:
                    return mail, body
            return None
        return wait_until(find, timeout, 0.2, what)

    def mailed_link(self, address, page, what, timeout=10):
        """The link beginning with SITE/`page` (a path and the start of its
        query) in a mail to `address`."""
        _, body = self.mail_to(address, f"{SITE}/{page}", what, timeout)
        return next(word for word in body.split() if word.startswith(f"{SITE}/{page}"))

    def request(self, path, fields=None, body=None, content_type=FORM_TYPE, headers=None):
        """(status, body text, headers) of a GET, or of a POST of `fields` (a
        form) or `body` (bytes); no redirect followed."""
        if fields is not None:
            body = urllib.parse.urlencode(fields).encode()
        request = urllib.request.Request(SITE + path, data=body, headers=dict(headers or {}))
        if body is not None:
            request.add_header("Content-Type", content_type)
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({}), NoRedirect)
        try:
            with opener.open(request, timeout=10) as answer:
                return answer.status, answer.read().decode("utf-8", "replace"), answer.headers
        except urllib.error.HTTPError as error:
            return error.code, error.read().decode("utf-8", "replace"), error.headers

    def sign_up(self, address, nickname, password, referrer=""):
        """A member with a confirmed address, signed up and confirmed over
        HTTP as a browser would."""
        status, page, _ = self.request("/reg3.htm", {"email": address, "nickname": nickname, "password": password,
                                                  "repeated": password, "referrer": referrer})
        if status != 200:
            raise AssertionError(f"the sign-up of {address} was answered {status}:\n{page}")
        link = self.mailed_link(address, "confirm.htm?token=", f"the confirmation mail to {address}")
        token = urllib.parse.parse_qs(urllib.parse.urlsplit(link).query)["token"][0]
        status, page, _ = self.request("/confirm.htm", {"token": token})
        if status != 200:
            raise AssertionError(f"the confirmation of {address} was answered {status}:\n{page}")

    def admin(self, *words):
        """The organiser's command on this server's database and site, with
        the outbox of this server's folder; its output."""
        run = subprocess.run([os.environ["ZIFRA_SERVER"], "admin", "--db", self.database, "--site", SITE, *words],
                             cwd=self.folder, capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            raise AssertionError(f"admin {' '.join(words)} ended with {run.returncode}: {run.stderr}")
        return run.stdout

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


class NoRedirect(urllib.request.HTTPRedirectHandler):
    """A redirect is an answer to look at, not to follow."""

    def redirect_request(self, *args):
        return None


def headless_chromium(profile):
    options = webdriver.ChromeOptions()
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu",
                 "--disable-background-networking", "--disable-extensions", "--no-first-run",
                 "--no-default-browser-check", "--no-proxy-server", f"--user-data-dir={profile}"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_page_load_timeout(30)
    return driver


class Browser:
    """One headless Chromium with a profile (and so cookies) of its own."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="zifra-chromium-")
        try:
            self.driver = headless_chromium(self.profile)
        except BaseException:
            shutil.rmtree(self.profile, ignore_errors=True)
            raise

    def quit(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)

    def open(self, address):
        """A path of the site or a whole address."""
        self.driver.get(address if address.startswith("http") else SITE + address)

    def path(self):
        """The path of the page shown, with its query."""
        parts = urllib.parse.urlsplit(self.driver.current_url)
        return parts.path + ("?" + parts.query if parts.query else "")

    def heading(self):
        return self.driver.find_element(By.TAG_NAME, "h1").text

    def field(self, name):
        """The named field of the page shown; its absence fails the test
        with the page that lacks it."""
        found = self.driver.find_elements(By.NAME, name)
        if not found:
            title = self.driver.title
            raise AssertionError(f"{self.path()} ({title!r}) has no field named {name!r}")
        return found[0]

    def value(self, name):
        return self.field(name).get_attribute("value")

    def follow(self, path, **query):
        """Follows the page's link to `path` with that query, wherever the
        page writes it relative to."""
        for link in self.driver.find_elements(By.TAG_NAME, "a"):
            parts = urllib.parse.urlsplit(link.get_attribute("href") or "")
            if (parts.path, dict(urllib.parse.parse_qsl(parts.query))) == (path, query):
                return self.open(link.get_attribute("href"))
        raise AssertionError(f"{self.path()} has no link to {path} with {query}")

    def fill(self, **fields):
        """Types into the named fields (ticks or clears a check box for True
        or False) and sends their form."""
        for name, value in fields.items():
            box = self.field(name)
            if box.get_attribute("type") == "checkbox":
                if box.is_selected() != value:
                    box.click()
                continue
            box.clear()
            box.send_keys(value)
        self.submit(next(iter(fields)))

    def submit(self, field=None):
        """Sends the form holding the named field (else the page's first
        form that is not the sign-out) and waits for the answer page."""
        form = (self.driver.find_element(By.XPATH, f"//form[.//*[@name='{field}']]") if field
                else self.driver.find_element(By.XPATH, PAGE_FORM))
        self._send(form)

    def sign_out(self):
        self._send(self.driver.find_element(By.XPATH, SIGN_OUT_FORM))

    def _send(self, form):
        page = self.driver.find_element(By.TAG_NAME, "html")
        form.find_element(By.CSS_SELECTOR, SUBMIT_BUTTON).click()
        # Asked while the old page is being swapped out, Chromium may answer
        # that the node "does not belong to the document" instead of calling
        # it stale: ask again until it says stale.
        WebDriverWait(self.driver, 20, ignored_exceptions=(WebDriverException,)).until(staleness_of(page))

    def rows(self, css):
        """The cell texts of the table rows `css` selects that hold cells."""
        rows = [[cell.text for cell in row.find_elements(By.TAG_NAME, "td")]
                for row in self.driver.find_elements(By.CSS_SELECTOR, css)]
        return [row for row in rows if row]
