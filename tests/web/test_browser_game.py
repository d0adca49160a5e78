"""The browser game in headless Chromium, served by the real zifra-server.

The module plays the recorded games exactly as zifra-sim recorded them (its
trace and its frames, coloured by the page's own palette code); real key
events move Servobot and fire; a hidden tab or a window without the focus
(headless Chromium never takes it away, so the test sends the browser's
event) holds the game, lets its keys go and catches nothing up; the page starts the
cues the game asks for, decoded from the module's own WAVE resources; and the
menu and the information dialog read as the program's texts.
"""
import gzip
import os
import re
import struct
import sys
import time
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from web_game import SOURCE, BrowserGame, ServerProcess, wait_until

sys.path.insert(0, os.path.join(SOURCE, "tests", "golden"))
from check_golden import EVERY, SCENARIOS  # noqa: E402

GOLDEN = os.path.join(SOURCE, "tests", "golden")

# Plays one scenario through the module's check and hashes every EVERY-th
# drawn frame's RGB rows, as check_golden.py hashes zifra-sim's PNGs.
PLAY_SCENARIO = """
const [seconds, frames, keys, every, done] = arguments;
const page = window.zifraPage;
page.stop();
const m = page.module;
const text = (p) => { let e = p; while (m.HEAPU8[e]) ++e; return new TextDecoder().decode(m.HEAPU8.subarray(p, e)); };
const script = new TextEncoder().encode(keys);
const at = m._malloc(script.length + 1);
m.HEAPU8.set(script, at);
m.HEAPU8[at + script.length] = 0;
const fault = m._zifra_check_begin(seconds, at);
m._free(at);
if (fault) { done({error: text(fault)}); return; }
const hex = (digest) => Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, "0")).join("");
const lines = [], hashes = [];
let drawn = 0;
for (let tick = 0; tick < frames; ++tick) {
  const line = m._zifra_check_tick();
  if (!line) break;
  lines.push(text(line) + "\\n");
  if (m._zifra_check_drawn() && ++drawn % every === 0) {
    page.screen.take(m, m._zifra_check_screen());
    const name = "frame-" + String(tick).padStart(6, "0") + ".png";
    hashes.push(crypto.subtle.digest("SHA-256", page.screen.rgb()).then((d) => name + " " + hex(d) + "\\n"));
  }
}
Promise.all(hashes).then((h) => done({trace: lines.join(""), hashes: h.join("")}));
"""

# Every cue the page starts, by the buffer it plays.
RECORD_CUES = """
window.startedBuffers = [];
const start = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function (...args) {
  window.startedBuffers.push(this.buffer);
  return start.apply(this, args);
};
"""
STARTED_CUES = """
const buffers = [...window.zifraPage.cues.buffers];
return window.startedBuffers.map((b) => { const e = buffers.find(([, x]) => x === b); return e ? [e[0], b.duration] : null; });
"""

# Each visibility and focus change with the frames run by then.
RECORD_WINDOW_NEWS = """
window.windowNews = [];
const note = (what) => () => window.windowNews.push([what(), window.zifraPage.status.frames, performance.now()]);
document.addEventListener("visibilitychange", note(() => document.hidden ? "hidden" : "shown"));
window.addEventListener("blur", note(() => "blur"));
window.addEventListener("focus", note(() => "focus"));
"""


def wave_seconds(path):
    """The length of a PCM WAVE file's sound."""
    with open(path, "rb") as f:
        data = f.read()
    rate = channels = bits = 0
    pos = 12
    while pos + 8 <= len(data):
        kind, size = struct.unpack("<4sI", data[pos:pos + 8])
        if kind == b"fmt ":
            _, channels, rate, _, _, bits = struct.unpack("<HHIIHH", data[pos + 8:pos + 24])
        elif kind == b"data":
            return size / (rate * channels * bits // 8)
        pos += 8 + size + (size & 1)
    raise ValueError(f"{path}: no sound")


def information_texts():
    """The three texts as app/information_texts.cpp and net/kvippa_texts.h
    keep them, with the web build's competition site, lines ended by LF as a
    text area reads them."""
    source = ""
    for part in (("app", "information_texts.cpp"), ("net", "kvippa_texts.h")):
        with open(os.path.join(SOURCE, *part), encoding="utf-8") as f:
            source += f.read()
    texts = dict(re.findall(r'constexpr std::string_view (\w+) = R"\((.*?)\)";', source, re.S))
    site = os.environ.get("ZIFRA_COMPETITION_SITE", "www.kvippa.example")
    return [texts["gameRules"], texts["competitionRulesText"], texts["aboutKvippaText"].replace("@SITE@", site)]


class BrowserGameCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = ServerProcess(builds=False)

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def setUp(self):
        self.game = BrowserGame(self.server, recorder=RECORD_CUES + RECORD_WINDOW_NEWS)
        self.addCleanup(self.game.close)
        self.driver = self.game.driver

    def test_the_module_plays_the_recorded_games_as_zifra_sim(self):
        self.game.open()
        for name, (seconds, frames, keys) in SCENARIOS.items():
            with self.subTest(name):
                script = ""
                if keys:
                    with open(os.path.join(GOLDEN, keys)) as f:
                        script = f.read()
                played = self.driver.execute_async_script(PLAY_SCENARIO, seconds, frames, script, EVERY)
                self.assertNotIn("error", played)
                with gzip.open(os.path.join(GOLDEN, name + ".trace.jsonl.gz"), "rt") as f:
                    recorded = f.read()
                with open(os.path.join(GOLDEN, name + ".frames")) as f:
                    recorded_frames = f.read()
                if played["trace"] != recorded:
                    for number, (now, then) in enumerate(zip(played["trace"].splitlines(), recorded.splitlines()), 1):
                        self.assertEqual(now, then, f"{name}: trace line {number}")
                    self.fail(f"{name}: {len(played['trace'].splitlines())} trace lines, "
                              f"{len(recorded.splitlines())} recorded")
                self.assertEqual(played["hashes"], recorded_frames, f"{name}: frames")

    def test_real_keys_move_servobot_and_fire_and_the_page_keeps_them(self):
        self.game.open()
        self.driver.execute_script(
            "window.leftToThePage = [];"
            "window.addEventListener('keydown', (e) => window.leftToThePage.push([e.code, e.defaultPrevented]));")
        start = self.game.trace()["servobot"]["x"]
        ActionChains(self.driver).key_down(Keys.ARROW_RIGHT).perform()
        wait_until("Servobot to move right", lambda: self.game.trace()["servobot"]["x"] >= start + 20)
        ActionChains(self.driver).key_up(Keys.ARROW_RIGHT).perform()
        moved = self.game.trace()["servobot"]["x"]
        time.sleep(0.3)
        self.assertLessEqual(abs(self.game.trace()["servobot"]["x"] - moved), 5, "Servobot stops when the key is let go")

        ActionChains(self.driver).key_down(Keys.SPACE).perform()
        wait_until("a signal", lambda: self.game.trace()["signal"]["hidden"] == 0)
        ActionChains(self.driver).key_up(Keys.SPACE).perform()
        ActionChains(self.driver).send_keys(Keys.ARROW_DOWN).perform()
        # F1 starts a new game: Servobot back where a game begins, no help page.
        ActionChains(self.driver).send_keys(Keys.F1).perform()
        wait_until("a new game", lambda: self.game.trace()["servobot"]["x"] == start)
        keys = self.driver.execute_script("return window.leftToThePage")
        self.assertEqual({code for code, _ in keys}, {"ArrowRight", "Space", "ArrowDown", "F1"})
        self.assertTrue(keys)
        for code, prevented in keys:
            self.assertTrue(prevented, f"{code} reached the browser")
        self.assertEqual(self.driver.execute_script("return window.scrollY"), 0)

    def test_a_hidden_tab_holds_the_game_lets_its_keys_go_and_catches_nothing_up(self):
        self.game.open()
        page = self.driver.current_window_handle
        ActionChains(self.driver).key_down(Keys.ARROW_RIGHT).perform()
        wait_until("Servobot to move", lambda: self.game.trace()["servobot"]["x"] > 40)
        self.driver.switch_to.new_window("tab")
        time.sleep(1.5)
        self.driver.close()
        self.driver.switch_to.window(page)
        wait_until("the page to be shown again",
                   lambda: [n for n in self.driver.execute_script("return window.windowNews") if n[0] == "shown"])
        news = self.driver.execute_script("return window.windowNews")
        hidden = next(n for n in news if n[0] == "hidden")
        shown = next(n for n in news if n[0] == "shown")
        self.assertGreaterEqual(shown[2] - hidden[2], 1400)
        self.assertLessEqual(shown[1] - hidden[1], 1, "frames ran in the hidden tab")
        # The right arrow's key-up went elsewhere: the key counts as let go.
        x = self.game.trace()["servobot"]["x"]
        frames = self.game.status()["frames"]
        time.sleep(1.0)
        self.assertLessEqual(abs(self.game.trace()["servobot"]["x"] - x), 5, "the arrow is still held")
        # A second of play is about 25 frames, with none made up for the time away.
        self.assertLess(self.game.status()["frames"] - frames, 32)
        ActionChains(self.driver).key_up(Keys.ARROW_RIGHT).perform()

    def test_a_window_without_the_focus_holds_the_game(self):
        # Headless Chromium gives every window the focus for good, so the
        # window's loss of it comes as the event the browser would send.
        self.game.open()
        ActionChains(self.driver).key_down(Keys.ARROW_LEFT).perform()
        self.driver.execute_script("window.dispatchEvent(new FocusEvent('blur'))")
        frames = self.game.status()["frames"]
        x = self.game.trace()["servobot"]["x"]
        time.sleep(1.0)
        self.assertLessEqual(self.game.status()["frames"] - frames, 1, "frames ran without the focus")
        self.driver.execute_script("window.dispatchEvent(new FocusEvent('focus'))")
        wait_until("the game to go on", lambda: self.game.status()["frames"] > frames + 10)
        # The arrow's key-up went to the window that had the focus.
        self.assertLessEqual(abs(self.game.trace()["servobot"]["x"] - x), 5, "the arrow is still held")
        self.assertLess(self.game.status()["frames"] - frames, 25, "the time away was made up")
        ActionChains(self.driver).key_up(Keys.ARROW_LEFT).perform()

    def test_the_page_starts_the_cues_from_the_modules_waves(self):
        self.game.open()
        started = wait_until("the opening music", lambda: self.driver.execute_script(STARTED_CUES))
        generated = os.path.join(SOURCE, "res", "generated")
        self.assertEqual(started[0][0], 177)
        self.assertAlmostEqual(started[0][1], wave_seconds(os.path.join(generated, "new_world.wav")), places=2)
        ActionChains(self.driver).key_down(Keys.SPACE).perform()
        signal = wait_until("the signal's cue", lambda: [c for c in self.driver.execute_script(STARTED_CUES)
                                                          if c and c[0] == 178])
        ActionChains(self.driver).key_up(Keys.SPACE).perform()
        self.assertAlmostEqual(signal[0][1], wave_seconds(os.path.join(generated, "signal.wav")), places=2)
        self.assertEqual(self.driver.execute_script("return window.zifraPage.cues.buffers.size"), 16)

    def test_the_menu_and_the_information_texts_read_as_the_programs(self):
        self.game.open()
        menus = [(entry.find_element(By.CSS_SELECTOR, ":scope > button").text,
                  [b.get_attribute("textContent") for b in entry.find_elements(By.CSS_SELECTOR, "li button")])
                 for entry in self.driver.find_elements(By.CSS_SELECTOR, "#menu .meny")]
        self.assertEqual(menus, [
            ("Spel", ["Starta nytt spel (F1)", "Spelregler", "Avsluta (Alt-F4)"]),
            ("Tävling", ["Tävlingsregler", "Om Kvippa"]),
            ("Koppla upp", ["Registrera high-score", "Utmana dina vänner", "Besök Zifras hemsida",
                            "Surfa till Kvippasajten"]),
        ])
        texts = information_texts()
        for (menu, item), text in zip([("Spel", "Spelregler"), ("Tävling", "Tävlingsregler"),
                                       ("Tävling", "Om Kvippa")], texts):
            with self.subTest(item):
                self.game.choose(menu, item)
                dialog = self.game.wait_for_dialog("information")
                self.assertEqual(dialog.find_element(By.CSS_SELECTOR, ".rubrik").text, "Information")
                shown = dialog.find_element(By.ID, "information-text").get_property("value")
                self.assertEqual(shown, text)
                # The game stands still behind it, and Escape does not close it.
                frames = self.game.status()["frames"]
                ActionChains(self.driver).send_keys(Keys.ESCAPE).perform()
                time.sleep(0.3)
                self.assertTrue(dialog.is_displayed())
                self.assertEqual(self.game.status()["frames"], frames)
                dialog.find_element(By.CSS_SELECTOR, ".knappar button").click()
                wait_until("the game to go on", lambda: self.game.status()["frames"] > frames + 3)
                self.assertFalse(self.driver.find_elements(By.ID, "information"))


if __name__ == "__main__":
    unittest.main()
