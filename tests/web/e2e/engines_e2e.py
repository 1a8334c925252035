#!/usr/bin/python3
"""The site in WebKitGTK (the engine of every iPhone browser), driven through
WebKitWebDriver on a virtual display: a game, a record under a Japanese name
and its bytes, both boxes, a reload and a reload with the server gone; a
page left mid-name and kept by the browser for going back; menus asked for
before the program has arrived. Every text, colour, size and record byte
expected is the game's own, from the facts file the build writes
(POROTEN_FACTS). The touch keypad is not tried here: WebKitWebDriver on GTK neither emulates a
touch screen nor sends touch input, and the keypad shows only on one.

    xvfb-run -a engines_e2e.py SITE_DIR [-k PATTERN] [-j JOBS]
"""

import os
import sys
import tempfile
import time
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import (MESSAGE, SCORE, Game, HeldServer, Server, css_colour,  # noqa: E402
                     record_of)
import timed_runner  # noqa: E402
from game_facts import (BOX_TITLE, BOXES, FIRST_ROW, MAIN, MEMORIZE, PRESS_RETURN,  # noqa: E402
                        WRONG_KEY, high_score_lines, menu_text)
from selenium import webdriver  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402
from selenium.webdriver.webkitgtk.options import Options  # noqa: E402

SITE = None
MINIBROWSER = os.environ.get("MINIBROWSER",
                             "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser")
FIRST_ROW_DIGITS = r"^\d{%d}$" % FIRST_ROW
HIGH_SCORE_TITLE, ABOUT_TITLE = BOXES["highScoreTitle"], BOXES["aboutTitle"]


RECORD_TAKAHASHI_1 = record_of(1, "髙橋")


def webkit():
    options = Options()
    options.binary_location = MINIBROWSER
    options.add_argument("--automation")
    return webdriver.WebKitGTK(executable_path="/usr/bin/WebKitWebDriver", options=options)


class WebKit(unittest.TestCase):
    def setUp(self):
        # A home of its own, so that no record or worker is left from before;
        # the web process may still be writing its shader cache there as it quits.
        self.home = tempfile.TemporaryDirectory(prefix="poroten-webkit-",
                                                ignore_cleanup_errors=True)
        os.environ["XDG_DATA_HOME"] = os.environ["XDG_CACHE_HOME"] = self.home.name
        self.server = Server(SITE)
        self.server.start()
        self.driver = webkit()
        self.game = Game(self.driver)

    def tearDown(self):
        self.driver.quit()
        self.server.stop()
        # The browser's helpers may still be writing there a moment after it
        # quits (the slower, the busier the machine).
        for attempt in range(20):
            try:
                self.home.cleanup()
                break
            except OSError:
                if attempt == 19:
                    raise
                time.sleep(0.25)

    def menu(self, *path):
        """Clicks through the menu bar, as a mouse would, to the entries of these names."""
        d = self.driver
        d.find_element(By.XPATH, "//button[@role='menuitem'][.='%s']"
                       % menu_text(path[0])).click()
        for item in path[1:]:
            d.find_element(By.XPATH, "//div[@role='menu']/button[.='%s']"
                           % menu_text(item)).click()

    def test_a_game_a_japanese_record_the_boxes_a_reload_and_offline(self):
        g = self.game
        g.open(self.server.url)
        self.assertEqual(g.label(MESSAGE), PRESS_RETURN)
        self.assertEqual(g.active().get_attribute("class"), "pw-client")
        rect = self.driver.find_element(By.CSS_SELECTOR, ".pw-main .pw-client").rect
        self.assertEqual((rect["width"], rect["height"]), tuple(MAIN["clientPixels"]))
        # The page's policy refuses a script written into it.
        self.assertIsNone(g.js("var s = document.createElement('script');"
                               "s.textContent = 'window.__inline = 1';"
                               "document.head.appendChild(s); return window.__inline"))

        g.keys(Keys.ENTER)
        row = g.memorized_row()
        g.wait_answer_phase()
        g.keys(row[0])
        self.assertEqual(g.cell_colour(0), css_colour("cellAnswered"))
        g.keys(*row[1:])
        g.wait(lambda: g.label(SCORE) == "1", what="score 1")
        row = g.memorized_row()
        g.wait_answer_phase()
        g.keys(str((int(row[0]) + 1) % 10))
        self.assertEqual(g.wait_box()[0][:2], [BOX_TITLE, [WRONG_KEY]])
        g.keys(Keys.ENTER)
        g.wait(lambda: g.js("return !!document.querySelector('dialog.pw-dialog[open]')"),
               what="the name window")
        self.assertEqual(g.active().tag_name, "input")
        # Esc does nothing there; WebKitGTK, unlike Chromium and Firefox,
        # keeps the window on a second Esc as well.
        g.keys(Keys.ESCAPE, Keys.ESCAPE)
        self.assertTrue(g.js("return !!document.querySelector('dialog.pw-dialog[open]')"))
        self.assertTrue(g.js("return document.querySelector('.pw-main').hidden"))
        self.assertEqual(g.stored_record(), b"")
        g.keys("髙橋")
        self.assertEqual(g.active().get_attribute("value"), "髙橋")
        g.keys(Keys.ENTER)
        g.wait(lambda: g.stored_record() == RECORD_TAKAHASHI_1, what="the record")
        self.assertEqual(g.label(MESSAGE), PRESS_RETURN)

        self.menu("mnuFile", "mnuFileHigh")
        self.assertEqual(g.wait_box()[0][:2], [HIGH_SCORE_TITLE, high_score_lines("髙橋", 1)])
        g.keys(Keys.ENTER)
        g.wait(lambda: g.boxes() == [], what="the box to close")
        self.menu("mnuFileAbout")
        self.assertEqual(g.wait_box()[0][0], ABOUT_TITLE)
        g.keys(Keys.ESCAPE)
        g.wait(lambda: g.boxes() == [], what="the box to close")
        self.assertEqual(g.active().get_attribute("class"), "pw-client")

        self.driver.refresh()
        g.open(self.server.url)
        self.menu("mnuFile", "mnuFileHigh")
        self.assertEqual(g.wait_box()[0][1], high_score_lines("髙橋", 1))
        g.keys(Keys.ENTER)

        g.wait(lambda: g.js("return !!navigator.serviceWorker.controller"), timeout=15,
               what="the service worker")
        self.server.stop()
        self.driver.refresh()
        g.open(self.server.url)
        g.keys(Keys.ENTER)
        self.assertRegex(g.memorized_row(), FIRST_ROW_DIGITS)
        self.assertEqual(g.stored_record(), RECORD_TAKAHASHI_1)

    def test_a_page_left_mid_name_keeps_the_name(self):
        g = self.game
        g.open(self.server.url)
        g.keys(Keys.ENTER)
        row = g.memorized_row()
        g.wait_answer_phase()
        g.keys(*row)
        g.wait(lambda: g.label(SCORE) == "1", what="score 1")
        row = g.memorized_row()
        g.wait_answer_phase()
        g.keys(str((int(row[0]) + 1) % 10))
        g.wait_box()
        g.keys(Keys.ENTER)
        g.wait(lambda: g.js("return !!document.querySelector('dialog.pw-dialog[open]')"),
               what="the name window")
        g.keys("Bob")
        g.js("window.__same_page = true")
        # Away and back: the page is kept whole meanwhile (pagehide, then
        # pageshow), with the name saved as it left and the game at rest.
        self.driver.get("about:blank")
        self.driver.back()
        g.wait(lambda: g.js("return document.readyState === 'complete' && !!window.__same_page"),
               what="the page back as it was")
        self.assertEqual(g.stored_record(), record_of(1, "Bob"))
        self.assertFalse(g.js("return !!document.querySelector('dialog[open]')"))
        self.assertFalse(g.js("return document.querySelector('.pw-main').hidden"))
        self.assertEqual(g.label(MESSAGE), PRESS_RETURN)
        self.driver.refresh()
        g.open(self.server.url)
        self.menu("mnuFile", "mnuFileHigh")
        self.assertEqual(g.wait_box()[0][1], high_score_lines("Bob", 1))

    def test_menus_asked_for_before_the_program_open_once_it_is(self):
        g = self.game
        state = ("return [document.querySelectorAll('.pw-menu:not([hidden])').length,"
                 " document.querySelectorAll('dialog.pw-box[open]').length,"
                 " document.documentElement.classList.contains('pw-ready')]")
        # The file menu clicked twice while the program is on its way: asked
        # for twice, not opened and closed again.
        server = HeldServer(SITE)
        server.start()
        try:
            self.driver.get(server.url)
            entry = self.driver.find_element(By.CSS_SELECTOR, ".pw-menuentry")
            entry.click()
            entry.click()
            time.sleep(0.3)
            self.assertEqual(g.js(state), [0, 0, False])
            server.release()
            g.wait_ready()
            g.wait(lambda: g.js(state) == [1, 0, True], what="the file menu")
            self.assertEqual(g.active().text, menu_text("mnuFileNew"))
        finally:
            server.stop()

        # Enter, then About's access key: the game starts, then the About box opens over it.
        server = HeldServer(SITE)
        server.start()
        try:
            self.driver.get(server.url)
            g.keys(Keys.ENTER)
            about = menu_text("mnuFileAbout", access_mark=True)
            key = about[about.index("&") + 1].lower()
            ActionChains(self.driver).key_down(Keys.ALT).send_keys(key).key_up(Keys.ALT).perform()
            time.sleep(0.3)
            self.assertEqual(g.js(state), [0, 0, False])
            server.release()
            g.wait_ready()
            self.assertEqual(g.wait_box()[0][0], ABOUT_TITLE)
            self.assertEqual(g.label(MESSAGE), MEMORIZE)
        finally:
            server.stop()


def main():
    global SITE
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    SITE = os.path.abspath(sys.argv[1])
    return timed_runner.main(sys.modules[__name__], sys.argv[2:],
                             [sys.executable, os.path.abspath(__file__), SITE])


if __name__ == "__main__":
    sys.exit(main())
