"""A served site and a headless Chromium driven through chromedriver, with
helpers that read the game's window from the page. What the game shows and
keeps comes from the facts file the build writes (tests/game_facts.py)."""

import base64
import contextlib
import os
import socket
import subprocess
import sys
import tempfile
import time
import shutil

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
sys.path.insert(1, os.path.join(ROOT, "tests"))
from game_facts import (CELL_COUNT, COLOURS, MAIN, MEMORIZE, SCORE_FILE, START,  # noqa: E402
                        TIMING, cell_name, control, record_bytes)

CHROMIUM = os.environ.get("CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("CHROMEDRIVER", "/usr/bin/chromedriver")
# axe-core's axe.min.js; scripts/test-web.sh installs it and says where.
AXE = os.environ.get("POROTEN_AXE", "")

AXE_RUN = """
var done = arguments[arguments.length - 1];
axe.run(document, {resultTypes: ['violations']}).then(function (r) {
  done(r.violations.map(function (v) {
    return [v.id, v.impact, v.nodes.map(function (n) { return n.target.join(' '); })];
  }));
}, function (e) { done([['axe failed', String(e), []]]); });
"""

# Control ids of the main window: the countdown, the score, the message line, the cells.
COUNTDOWN, SCORE, MESSAGE = (control(MAIN, name)["id"] for name in ("Label3", "Label5", "Label6"))
CELLS = [control(MAIN, cell_name(i))["id"] for i in range(CELL_COUNT)]
# The game's own waits in seconds, with room for a slow machine.
MEMORIZE_WAIT = TIMING["memorizeSeconds"] * TIMING["tickMs"] / 1000 + 3
ANSWER_WAIT = TIMING["answerSeconds"] * TIMING["tickMs"] / 1000 + 5


def record_of(score, name):
    """A valid record for the holder's name as typed: the name in code page
    932 as the build machine's iconv writes it, which the product's own table
    is made from (Python's codec writes some characters, 髙 among them, as
    their NEC duplicates instead)."""
    encoded = subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"], input=name.encode(),
                             capture_output=True, check=True).stdout
    return record_bytes(score, encoded)


def css_colour(name):
    """One of the game's colours as the page's computed style gives it."""
    return "rgb(%d, %d, %d)" % COLOURS[name]


SNAPSHOT = """
function snap(el) {
  var r = el.getBoundingClientRect(), cs = getComputedStyle(el);
  return [el.tagName,
    [...el.attributes].filter(a => a.name !== 'style').map(a => a.name + '=' + a.value).sort(),
    [r.x, r.y, r.width, r.height], cs.display, cs.backgroundColor, cs.color, cs.fontFamily,
    cs.fontSize, cs.fontWeight, cs.textAlign,
    [...el.childNodes].map(n => n.nodeType === 1 ? snap(n) : n.nodeType === 3 ? n.data : '')];
}
return snap(document.querySelector('main'));
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Server:
    """The site on 127.0.0.1, which counts as a secure origin for the worker;
    with max_age, from a host that lets browsers keep every file that long."""

    def __init__(self, site, max_age=None):
        self.site = site
        self.port = free_port()
        self.proc = None
        self.max_age = max_age

    def start(self):
        extra = [] if self.max_age is None else ["--max-age", str(self.max_age)]
        self.proc = subprocess.Popen(
            [sys.executable, os.path.join(ROOT, "scripts", "serve-web.py"),
             "--port", str(self.port)] + extra + [self.site])
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=0.2).close()
                return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("the site server did not start")

    def stop(self):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(10)
            self.proc = None

    @property
    def url(self):
        return "http://127.0.0.1:%d/" % self.port


class HeldServer:
    """The site, holding back a file until release(): the page as it is
    before the program has arrived. With held=None, every file but the page."""

    def __init__(self, site, held="poroten.wasm"):
        import functools
        import http.server
        import runpy
        import threading
        base = runpy.run_path(os.path.join(ROOT, "scripts", "serve-web.py"))["Handler"]
        self.gate = threading.Event()
        gate = self.gate

        class Handler(base):
            def do_GET(self):
                name = self.path.lstrip("/").split("?")[0]
                if name == held or (held is None and name not in ("", "index.html")):
                    gate.wait(30)
                super().do_GET()

        class Quiet(http.server.ThreadingHTTPServer):
            def handle_error(self, request, address):
                # A held request the browser gave up on.
                if not isinstance(sys.exc_info()[1], (BrokenPipeError, ConnectionResetError)):
                    super().handle_error(request, address)

        self.port = free_port()
        self.httpd = Quiet(
            ("127.0.0.1", self.port), functools.partial(Handler, directory=site))
        self.httpd.daemon_threads = True
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    def start(self):
        self.thread.start()

    def release(self):
        self.gate.set()

    def stop(self):
        self.gate.set()
        self.httpd.shutdown()
        self.httpd.server_close()

    @property
    def url(self):
        return "http://127.0.0.1:%d/" % self.port


def chromium(phone=False, load="normal"):
    options = webdriver.ChromeOptions()
    options.page_load_strategy = load
    options.binary_location = CHROMIUM
    profile = tempfile.mkdtemp(prefix="poroten-chromium-")
    for arg in ["--headless=new", "--no-sandbox", "--disable-gpu",
                "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--no-first-run", "--disable-default-apps",
                "--user-data-dir=" + profile, "--window-size=800,600",
                "--lang=ja", "--force-device-scale-factor=1"]:
        options.add_argument(arg)
    if phone:
        options.add_experimental_option("mobileEmulation", {
            "deviceMetrics": {"width": 390, "height": 844, "pixelRatio": 3, "touch": True},
            "userAgent": "Mozilla/5.0 (Linux; Android 13; Pixel 7) AppleWebKit/537.36 "
                         "(KHTML, like Gecko) Chrome/120.0 Mobile Safari/537.36"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver.profile_dir = profile
    return driver


def close(driver):
    profile = getattr(driver, "profile_dir", None)
    driver.quit()
    if profile:
        shutil.rmtree(profile, ignore_errors=True)


@contextlib.contextmanager
def browser_game(phone=False):
    """A fresh headless Chromium, as a Game; closed again on leaving."""
    driver = chromium(phone)
    try:
        yield Game(driver)
    finally:
        close(driver)


class Game:
    """The page as the player sees it."""

    def __init__(self, driver):
        self.d = driver

    def wait(self, condition, timeout=10, what="condition"):
        return WebDriverWait(self.d, timeout, poll_frequency=0.02).until(
            lambda _: condition(), message="timed out waiting for " + what)

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def open(self, url):
        self.d.get(url)
        self.wait_ready()

    def wait_ready(self):
        """The program has taken over the window the page drew."""
        self.wait(lambda: self.js("return document.documentElement.classList.contains('pw-ready')"
                                  " && !!document.querySelector('.pw-main:not([hidden])')"),
                  what="the program")

    def axe(self):
        """axe-core's violations in the page as it is now, best practices included."""
        if not AXE:
            raise RuntimeError("POROTEN_AXE names no axe.min.js (scripts/test-web.sh sets it)")
        if not self.js("return !!window.axe"):
            with open(AXE, encoding="utf-8") as f:
                self.js(f.read())
        return self.d.execute_async_script(AXE_RUN)

    def snapshot(self):
        """Everything in the page's main landmark as drawn: each element's
        tag, attributes (inline style aside), place, colours, font and text."""
        return self.js(SNAPSHOT)

    def label(self, control):
        return self.js("return document.querySelector('.pw-main [data-id=\"%d\"]').textContent"
                       % control)

    def cells(self):
        return self.js("return arguments[0].map(i => "
                       "document.querySelector('.pw-main [data-id=\"' + i + '\"]').textContent)",
                       CELLS)

    def cell_colour(self, i):
        return self.js("return getComputedStyle(document.querySelector("
                       "'.pw-main [data-id=\"%d\"]')).backgroundColor" % CELLS[i])

    def active(self):
        return self.d.switch_to.active_element

    def keys(self, *keys):
        """Real key events to whatever has the focus."""
        self.active().send_keys(*keys)

    def boxes(self):
        """The open message boxes, oldest first: (title, lines, focus on OK)."""
        return self.js("""
            return [...document.querySelectorAll('dialog.pw-box[open]')].map(d => [
              d.querySelector('.pw-titlebar').textContent,
              [...d.querySelectorAll('.pw-boxtext > div')].map(l => l.textContent),
              document.activeElement === d.querySelector('.pw-ok'),
              d.getAttribute('role')]);""")

    def wait_box(self, count=1, timeout=10):
        return self.wait(lambda: len(self.boxes()) == count and self.boxes(), timeout=timeout,
                         what="%d message box(es)" % count)

    def memorized_row(self):
        """Waits for a new row to show and returns its digits."""
        self.wait(lambda: self.label(MESSAGE) == MEMORIZE and self.cells()[0] != "",
                  what="a row to memorize")
        return "".join(self.cells())

    def wait_answer_phase(self):
        self.wait(lambda: self.label(MESSAGE) == START, timeout=MEMORIZE_WAIT,
                  what="the answer phase")

    def stored_record(self):
        value = self.js("return localStorage.getItem(arguments[0])", SCORE_FILE)
        return None if value is None else base64.b64decode(value)

    def pixel(self, x, y):
        """The screen's colour at a CSS pixel of the page, from a screenshot."""
        out = subprocess.run(
            ["convert", "png:-", "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "rgb:-"],
            input=self.d.get_screenshot_as_png(), capture_output=True, check=True).stdout
        return tuple(out[:3])

    def centre_of(self, css):
        return self.js("const r = document.querySelector(arguments[0]).getBoundingClientRect();"
                       "return [Math.round(r.x + r.width / 2), Math.round(r.y + r.height / 2)]",
                       css)
