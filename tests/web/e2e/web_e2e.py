#!/usr/bin/python3
"""The browser build in a real headless Chromium: games played with real key
events and taps, the record in localStorage, kept by two tabs at once, the
menus, the colours on screen, a phone-sized touch screen and a reload with
the server gone. Every text, colour, size, time and record byte expected is
the game's own, from the facts file the build writes (POROTEN_FACTS).

    web_e2e.py SITE_DIR [-k PATTERN] [-j JOBS]

With -j, the tests run side by side, each with its browser, profile and
server port of its own.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import (ROOT, ANSWER_WAIT, CELLS, COUNTDOWN, MEMORIZE_WAIT, MESSAGE, SCORE,  # noqa: E402
                     Game, HeldServer, Server, chromium, close, css_colour, record_of)
import timed_runner  # noqa: E402
from game_facts import (BOX_TITLE, BOXES, COLOURS, FIRST_ROW, MAIN, MAIN_TITLE,  # noqa: E402
                        MEMORIZE, PAGE, PRESS_RETURN, SCORE_FILE, START, TIME_UP, TIMING,
                        WRONG_KEY, high_score_lines, menu_text)
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.actions import interaction  # noqa: E402
from selenium.webdriver.common.actions.action_builder import ActionBuilder  # noqa: E402
from selenium.webdriver.common.actions.pointer_input import PointerInput  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

SITE = None

TEAL, CYAN = COLOURS["teal"], COLOURS["cyan"]
AT_REST, ANSWERED = COLOURS["cellAtRest"], COLOURS["cellAnswered"]
CLIENT = tuple(MAIN["clientPixels"])
FIRST_ROW_DIGITS = r"^\d{%d}$" % FIRST_ROW
TICK = TIMING["tickMs"] / 1000
HIGH_SCORE_TITLE, ABOUT_TITLE = BOXES["highScoreTitle"], BOXES["aboutTitle"]


def access_key(name):
    """The letter that chooses the menu entry of this name."""
    text = menu_text(name, access_mark=True)
    return text[text.index("&") + 1].lower()


def alt(driver, name):
    """Alt and the access key of the menu entry of this name."""
    ActionChains(driver).key_down(Keys.ALT).send_keys(access_key(name)).key_up(Keys.ALT).perform()


RECORD_TAKAHASHI_1 = record_of(1, "髙橋")


class SiteTest(unittest.TestCase):
    phone = False

    def setUp(self):
        self.server = Server(SITE)
        self.server.start()
        self.driver = chromium(phone=self.phone)
        self.game = Game(self.driver)

    def tearDown(self):
        close(self.driver)
        self.server.stop()

    def wrong_digit(self, right):
        return str((int(right) + 1) % 10)

    # What a keypad digit key is called with Num Lock off, and its key code.
    KEYPAD_WITHOUT_NUM_LOCK = {"0": ("Insert", 45), "1": ("End", 35), "2": ("ArrowDown", 40),
                               "3": ("PageDown", 34), "4": ("ArrowLeft", 37), "5": ("Clear", 12),
                               "6": ("ArrowRight", 39), "7": ("Home", 36), "8": ("ArrowUp", 38),
                               "9": ("PageUp", 33)}

    def keypad_key_without_num_lock(self, digit):
        key, code = self.KEYPAD_WITHOUT_NUM_LOCK[digit]
        for kind in ("rawKeyDown", "keyUp"):
            self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
                "type": kind, "key": key, "code": "Numpad" + digit,
                "windowsVirtualKeyCode": code, "nativeVirtualKeyCode": code})

    def answer_row(self, type_digit):
        """Memorizes the shown row and types it back."""
        row = self.game.memorized_row()
        self.game.wait_answer_phase()
        for digit in row:
            type_digit(digit)
        return row

    def play_and_miss(self, points, close_box=None):
        """Scores the points, then ends the game with a wrong key and closes
        its box, by Enter unless close_box closes it."""
        g = self.game
        g.keys(Keys.ENTER)
        for n in range(points):
            self.answer_row(g.keys)
            g.wait(lambda: g.label(SCORE) == str(n + 1), what="score %d" % (n + 1))
        row = g.memorized_row()
        g.wait_answer_phase()
        g.keys(self.wrong_digit(row[0]))
        self.assertEqual(g.wait_box()[0][1], [WRONG_KEY])
        (close_box or (lambda: g.keys(Keys.ENTER)))()

    def name_window_open(self):
        return self.game.js("return !!document.querySelector('dialog.pw-dialog[open]')")


class DesktopGame(SiteTest):
    def test_a_game_a_record_the_menus_and_a_reload(self):
        g = self.game
        g.open(self.server.url)
        self.assertEqual(self.driver.title, MAIN_TITLE)
        self.assertEqual(g.active().get_attribute("class"), "pw-client")
        self.assertEqual(g.label(MESSAGE), PRESS_RETURN)

        # The desktop's colours, read off the screen.
        cell0 = self.driver.find_element(By.CSS_SELECTOR, ".pw-main [data-id='%d']" % CELLS[0]).rect
        x, y = int(cell0["x"]) + 3, int(cell0["y"]) + 3  # clear of the digit
        self.assertEqual(g.pixel(x, y), AT_REST)
        cx, cy = g.centre_of(".pw-main [data-id='%d']" % COUNTDOWN)
        self.assertEqual(g.pixel(cx, cy - 8), CYAN)
        rect = self.driver.find_element(By.CSS_SELECTOR, ".pw-main .pw-client").rect
        self.assertEqual((rect["width"], rect["height"]), CLIENT)
        self.assertEqual(g.pixel(int(rect["x"]) + 4, int(rect["y"]) + 4), TEAL)

        # Enter starts; Enter again during the game starts afresh.
        g.keys(Keys.ENTER)
        first = g.memorized_row()
        self.assertRegex(first, FIRST_ROW_DIGITS)
        memorize = str(TIMING["memorizeSeconds"])
        self.assertEqual(g.label(COUNTDOWN), memorize)
        g.wait(lambda: g.label(COUNTDOWN) != memorize, what="the first tick")
        g.keys(Keys.ENTER)
        self.assertEqual(g.label(COUNTDOWN), memorize)
        self.assertRegex("".join(g.cells()), FIRST_ROW_DIGITS)

        # A right key turns its cell blue at once; the whole row scores.
        row = g.memorized_row()
        g.wait_answer_phase()
        self.assertEqual(g.cells()[:3], ["", "", ""])
        # Held with Ctrl the digit is a shortcut, not an answer.
        ActionChains(self.driver).key_down(Keys.CONTROL).send_keys(row[0]).key_up(
            Keys.CONTROL).perform()
        self.assertEqual(g.cells()[:3], ["", "", ""])
        self.assertEqual(g.label(MESSAGE), START)
        g.keys(row[0])
        self.assertEqual(g.cells()[0], row[0])
        self.assertEqual(g.cell_colour(0), css_colour("cellAnswered"))
        self.assertEqual(g.pixel(x, y), ANSWERED)
        # The rest from the numeric keypad, the first with Num Lock off.
        self.keypad_key_without_num_lock(row[1])
        self.assertEqual(g.cells()[1], row[1])
        g.keys(*[getattr(Keys, "NUMPAD" + d) for d in row[2:]])
        g.wait(lambda: g.label(SCORE) == "1", what="score 1")

        # A wrong key: the box, then the new record's name window.
        row = g.memorized_row()
        g.wait_answer_phase()
        g.keys(self.wrong_digit(row[0]))
        self.assertEqual(g.wait_box(), [[BOX_TITLE, [WRONG_KEY], True, "alertdialog"]])
        # The box is modal: the menu's access key does not reach the game.
        alt(self.driver, "mnuFile")
        self.assertFalse(g.js("return !!document.querySelector('.pw-menu:not([hidden])')"))
        g.keys(Keys.ENTER)
        g.wait(lambda: g.js("return !!document.querySelector('dialog.pw-dialog[open]')"),
               what="the name window")
        self.assertEqual(g.boxes(), [])
        self.assertEqual(g.active().tag_name, "input")
        self.assertTrue(g.js("return document.querySelector('.pw-main').hidden"))
        # The name through an input method: the Enter that ends the
        # composition is the input method's, the next one is OK.
        self.driver.execute_cdp_cmd("Input.imeSetComposition",
                                    {"text": "たかはし", "selectionStart": 4, "selectionEnd": 4})
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
            "type": "rawKeyDown", "key": "Enter", "code": "Enter",
            "windowsVirtualKeyCode": 229, "nativeVirtualKeyCode": 229})
        self.driver.execute_cdp_cmd("Input.insertText", {"text": "髙橋"})
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
            "type": "keyUp", "key": "Enter", "code": "Enter", "windowsVirtualKeyCode": 13})
        self.assertTrue(g.js("return !!document.querySelector('dialog.pw-dialog[open]')"))
        self.assertEqual(g.active().get_attribute("value"), "髙橋")
        g.keys(Keys.ENTER)
        g.wait(lambda: not g.js("return !!document.querySelector('dialog.pw-dialog')"),
               what="the name window to close")
        self.assertEqual(g.stored_record(), RECORD_TAKAHASHI_1)
        self.assertEqual(g.label(MESSAGE), PRESS_RETURN)
        self.assertEqual(g.label(SCORE), "1")
        self.assertEqual(g.cells(), [""] * len(CELLS))
        self.assertEqual(g.active().get_attribute("class"), "pw-client")

        # The answer time runs out; no record at 0 points.
        g.keys(Keys.ENTER)
        g.memorized_row()
        g.wait_answer_phase()
        started = time.monotonic()
        self.assertEqual(g.wait_box(timeout=ANSWER_WAIT)[0][:2], [BOX_TITLE, [TIME_UP]])
        self.assertGreater(time.monotonic() - started, (TIMING["answerSeconds"] - 1) * TICK)
        self.driver.find_element(By.XPATH, "//dialog//button[.='%s']" % PAGE["boxOk"]).click()
        g.wait(lambda: g.boxes() == [], what="the box to close")
        self.assertFalse(g.js("return !!document.querySelector('dialog.pw-dialog')"))
        self.assertEqual(g.stored_record(), RECORD_TAKAHASHI_1)

        # The menus: Alt and the file menu's key, then the best score's, and
        # the command on the bar by a click.
        alt(self.driver, "mnuFile")
        g.wait(lambda: g.js("return !!document.querySelector('.pw-menu:not([hidden])')"),
               what="the file menu")
        g.keys(access_key("mnuFileHigh"))
        self.assertEqual(g.wait_box(), [[HIGH_SCORE_TITLE, high_score_lines("髙橋", 1), True,
                                         "alertdialog"]])
        g.keys(Keys.ENTER)
        g.wait(lambda: g.boxes() == [], what="the box to close")
        self.driver.find_element(By.CSS_SELECTOR, ".pw-menuentry:nth-of-type(2)").click()
        self.assertEqual(g.wait_box()[0][0], ABOUT_TITLE)
        g.keys(Keys.ESCAPE)
        g.wait(lambda: g.boxes() == [], what="the box to close")
        self.assertEqual(g.active().get_attribute("class"), "pw-client")

        # The record survives a reload.
        self.driver.refresh()
        g.open(self.server.url)
        self.assertEqual(g.stored_record(), RECORD_TAKAHASHI_1)
        alt(self.driver, "mnuFile")
        g.keys(access_key("mnuFileHigh"))
        self.assertEqual(g.wait_box()[0][1], high_score_lines("髙橋", 1))

    def test_the_page_keeps_to_its_policy_and_axe_finds_nothing_in_any_state(self):
        g = self.game
        g.open(self.server.url)
        self.assertEqual(g.axe(), [], "at rest")
        # The server compresses as a static host does: what is measured is what players get.
        sizes = g.js("return performance.getEntriesByType('resource').concat("
                     "performance.getEntriesByType('navigation')).filter(e => "
                     "/(\\/|\\.wasm|poroten\\.js)$/.test(e.name))"
                     ".map(e => [e.name.split('/').pop(), e.encodedBodySize, e.decodedBodySize])")
        self.assertEqual(sorted(name for name, _, _ in sizes), ["", "poroten.js", "poroten.wasm"])
        for name, packed, size in sizes:
            self.assertLess(packed, size * 0.7, name)
        # Nothing is asked for before the window is drawn, not even the icon
        # the browser fetches by itself as the page loads (it comes in the page).
        early = g.js("var drawn = performance.getEntriesByName('first-contentful-paint')[0];"
                     "return performance.getEntriesByType('resource').filter("
                     "e => e.startTime < drawn.startTime).map(e => e.name.split('/').pop())")
        self.assertEqual(early, [])
        # The policy is in force: a script or style written into the page is
        # refused; the page's own, which the policy names by hash, are not.
        self.assertIsNone(g.js("var s = document.createElement('script');"
                               "s.textContent = 'window.__inline = 1';"
                               "document.head.appendChild(s); return window.__inline"))
        self.assertEqual(g.js("var s = document.createElement('style');"
                              "s.textContent = 'main { display: none }';"
                              "document.head.appendChild(s);"
                              "return getComputedStyle(document.querySelector('main')).display"),
                         "block")
        self.driver.find_element(By.CSS_SELECTOR, ".pw-menuentry").click()
        g.wait(lambda: g.js("return !!document.querySelector('.pw-menu:not([hidden])')"),
               what="the file menu")
        self.assertEqual(g.axe(), [], "a menu open")
        g.keys(Keys.ESCAPE)
        g.keys(Keys.ENTER)
        self.answer_row(g.keys)  # a point, so that the name window opens
        g.wait(lambda: g.label(SCORE) == "1", what="score 1")
        row = g.memorized_row()
        g.wait_answer_phase()
        g.keys(self.wrong_digit(row[0]))
        g.wait_box()
        self.assertEqual(g.axe(), [], "a message box open")
        g.keys(Keys.ENTER)
        g.wait(lambda: g.js("return !!document.querySelector('dialog.pw-dialog[open]')"),
               what="the name window")
        self.assertEqual(g.axe(), [], "the name window open")
        # What the page did itself breaks no rule of its own policy either
        # (the script and the style above were refused, as they should be).
        refused = [e["message"] for e in self.driver.get_log("browser")
                   if "Content Security Policy" in e["message"]]
        self.assertEqual(len(refused), 2, refused)
        self.assertIn("inline script", refused[0])
        self.assertIn("inline style", refused[1])

    def test_a_page_frozen_in_the_background_gets_one_late_tick_not_a_burst(self):
        g = self.game
        g.open(self.server.url)
        g.js("""window.__t = [];
            var label = document.querySelector('.pw-main [data-id="' + arguments[0] + '"]');
            new MutationObserver(() => __t.push([performance.now(), label.textContent]))
              .observe(label, {childList: true, subtree: true, characterData: true});
            document.addEventListener('keydown', e => {
              if (e.key === 'Enter') __t.push([performance.now(), 'enter']); }, true);""", COUNTDOWN)
        g.keys(Keys.ENTER)
        # Frozen as a background tab can be: no task runs for 2.6 ticks, past two.
        self.driver.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "frozen"})
        time.sleep(2.6 * TICK)
        self.driver.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "active"})
        resumed = g.js("return performance.now()")
        g.wait(lambda: g.label(COUNTDOWN) == str(TIMING["answerSeconds"]),
               timeout=MEMORIZE_WAIT, what="the answer phase")
        events = g.js("return __t")
        enter = [t for t, text in events if text == "enter"][0]
        after = [(t, text) for t, text in events if t >= resumed - 100]
        # One tick on waking, then the schedule as it was: the next at the
        # third tick, not early.
        memorize = TIMING["memorizeSeconds"]
        self.assertEqual([text for _, text in after[:2]], [str(memorize - 1), str(memorize - 2)],
                         events)
        self.assertGreater(after[1][0] - after[0][0], 150, events)
        self.assertGreaterEqual(after[1][0], enter + 3 * TIMING["tickMs"], events)

    def test_quit_ends_the_game_and_says_so(self):
        g = self.game
        g.open(self.server.url)
        # A click beside the window takes the focus; Enter still starts a game.
        ActionChains(self.driver).move_by_offset(600, 400).click().perform()
        self.assertEqual(g.active().tag_name, "body")
        g.keys(Keys.ENTER)
        g.memorized_row()
        self.driver.find_element(By.CSS_SELECTOR, ".pw-menuentry").click()
        self.driver.find_element(By.XPATH, "//button[.='%s']" % menu_text("mnuFileExit")).click()
        g.wait(lambda: g.js("return document.body.textContent.includes(arguments[0])",
                            MAIN_TITLE + PAGE["ended"]), what="the closing line")
        self.assertFalse(g.js("return !!document.querySelector('.pw-main')"))
        self.assertEqual(g.js("return document.querySelector('.pw-ended button').textContent"),
                         PAGE["playAgain"])
        time.sleep(3.5)  # a game that kept running would open its box now
        self.assertEqual(g.boxes(), [])


# Every node of the page's main landmark, to tell the program's nodes from
# the page's own; and the layout shifts so far (Chromium reports them).
NODES = """
var all = [], walk = document.createTreeWalker(document.querySelector('main'));
while (walk.nextNode()) all.push(walk.currentNode);
if (!arguments[0]) { window.__drawn = all; return all.length; }
var at = all.findIndex((n, i) => n !== window.__drawn[i]);
return at < 0 && all.length === window.__drawn.length ? 'same' :
  'differ at ' + at + ': ' + (all[at] && (all[at].outerHTML || all[at].data));
"""
SHIFTS = """
var done = arguments[arguments.length - 1], sum = 0;
new PerformanceObserver(function (list, obs) {
  list.getEntries().forEach(function (e) {
    sum += e.value;
    window.__shifts = (window.__shifts || []).concat([[e.startTime, e.value, e.hadRecentInput,
      e.sources.map(function (s) { return s.node ? (s.node.className || s.node.nodeName) + ' ' +
        JSON.stringify([s.previousRect.y, s.currentRect.y]) : '?'; })]]);
  });
}).observe({type: 'layout-shift', buffered: true});
setTimeout(function () { done(sum); }, 100);
"""


class DrawnWithThePage(unittest.TestCase):
    """The page shows the main window before the program has arrived, and
    the program takes that window over as it is."""

    def setUp(self):
        self.driver = chromium(load="eager")
        self.game = Game(self.driver)
        self.servers = []

    def tearDown(self):
        close(self.driver)
        for server in self.servers:
            server.stop()

    def held(self, held="poroten.wasm"):
        server = HeldServer(SITE, held)
        server.start()
        self.servers.append(server)
        return server

    def test_the_window_is_on_screen_before_the_program_and_taken_over_in_place(self):
        g = self.game
        # Every file but the page held: the window comes in the page's one response.
        server = self.held(None)
        self.driver.get(server.url)
        self.assertFalse(g.js("return document.documentElement.classList.contains('pw-ready')"))
        before = g.snapshot()
        self.assertGreater(g.js(NODES, False), 60)
        texts = g.js("return [...document.querySelectorAll('.pw-main [data-id]')].map(e => "
                     "[Number(e.dataset.id), e.textContent])")
        self.assertEqual(texts, [[c["id"], c["text"]] for c in MAIN["controls"].values()])
        cell0 = self.driver.find_element(By.CSS_SELECTOR, ".pw-main [data-id='%d']" % CELLS[0]).rect
        self.assertEqual(g.pixel(int(cell0["x"]) + 3, int(cell0["y"]) + 3), AT_REST)
        rect = self.driver.find_element(By.CSS_SELECTOR, ".pw-main .pw-client").rect
        self.assertEqual((rect["width"], rect["height"]), CLIENT)
        self.assertEqual(g.js("return document.querySelector('h1').textContent"), MAIN_TITLE)

        server.release()
        g.wait_ready()
        # The very elements the page drew, drawn the same: the markup the
        # build wrote from the layout is what the program draws from it.
        self.assertEqual(g.js(NODES, True), "same")
        self.assertEqual(g.snapshot(), before)
        self.assertEqual(g.active().get_attribute("class"), "pw-client")
        self.assertEqual(self.driver.execute_async_script(SHIFTS), 0)

        # Enter while the program is still on its way starts the game once it is there.
        server = self.held()
        self.driver.get(server.url)
        g.keys(Keys.ENTER)
        time.sleep(0.3)
        self.assertEqual(g.label(MESSAGE), PRESS_RETURN)
        server.release()
        g.wait_ready()
        self.assertRegex(g.memorized_row(), FIRST_ROW_DIGITS)
        self.assertEqual(g.label(COUNTDOWN), str(TIMING["memorizeSeconds"]))
        self.assertEqual(self.driver.execute_async_script(SHIFTS), 0)

    def test_a_menu_asked_for_before_the_program_opens_once_it_is(self):
        g = self.game
        menus_open = "return document.querySelectorAll('.pw-menu:not([hidden])').length"
        ready = "return document.documentElement.classList.contains('pw-ready')"
        # The file menu clicked twice while the program is on its way: asked
        # for twice, not opened and closed again.
        server = self.held()
        self.driver.get(server.url)
        entry = self.driver.find_element(By.CSS_SELECTOR, ".pw-menuentry")
        entry.click()
        entry.click()
        time.sleep(0.3)
        self.assertEqual((g.js(menus_open), g.js(ready)), (0, False))
        server.release()
        g.wait_ready()
        g.wait(lambda: g.js(menus_open) == 1, what="the file menu")
        self.assertEqual(g.active().text, menu_text("mnuFileNew"))
        g.keys(access_key("mnuFileHigh"))  # the program's own menu: its items' keys work
        self.assertEqual(g.wait_box()[0][0], HIGH_SCORE_TITLE)

        # Enter, then About's access key: the game starts, then the About box opens over it.
        server = self.held()
        self.driver.get(server.url)
        g.keys(Keys.ENTER)
        alt(self.driver, "mnuFileAbout")
        self.assertEqual(g.active().text, menu_text("mnuFileAbout"))  # shown taken
        time.sleep(0.3)
        self.assertEqual((g.boxes(), g.js(ready)), ([], False))
        server.release()
        g.wait_ready()
        self.assertEqual(g.wait_box()[0][0], ABOUT_TITLE)
        self.assertEqual(g.label(MESSAGE), MEMORIZE)
        self.assertEqual(self.driver.execute_async_script(SHIFTS), 0)


class Phone(SiteTest):
    phone = True

    def tap(self, element):
        actions = ActionBuilder(self.driver,
                                mouse=PointerInput(interaction.POINTER_TOUCH, "finger"))
        actions.pointer_action.move_to(element).pointer_down().pointer_up()
        actions.perform()

    def key(self, label):
        return self.driver.find_element(By.CSS_SELECTOR, "#keypad [aria-label='%s']" % label)

    def test_a_touch_screen_plays_through_the_keypad(self):
        g = self.game
        g.open(self.server.url)
        width = g.js("return document.documentElement.clientWidth")
        self.assertEqual(width, 390)
        main = g.js("const r = document.querySelector('.pw-main').getBoundingClientRect();"
                    "return [r.left, r.width]")
        self.assertGreater(main[1], 360)  # the window fills the screen's width
        self.assertLessEqual(main[0] + main[1], width)
        labels = g.js("return [...document.querySelectorAll('#keypad button')].map(b => "
                      "[b.getAttribute('aria-label'), b.getBoundingClientRect().width,"
                      " b.getBoundingClientRect().height, b.getBoundingClientRect().bottom])")
        self.assertEqual(sorted(l[0] for l in labels),
                         sorted([str(i) for i in range(10)] + [PAGE["returnKey"]]))
        for name, w, h, bottom in labels:
            self.assertGreaterEqual(min(w, h), 44, name)
            self.assertLessEqual(bottom, 844, name)

        self.assertEqual(g.axe(), [], "the keypad shown")
        self.tap(self.key(PAGE["returnKey"]))
        self.answer_row(lambda d: self.tap(self.key(d)))
        g.wait(lambda: g.label(SCORE) == "1", what="score 1")
        row = g.memorized_row()
        g.wait_answer_phase()
        self.tap(self.key(row[0]))
        self.assertEqual(g.cell_colour(0), css_colour("cellAnswered"))
        self.tap(self.key(self.wrong_digit(row[1])))
        self.assertEqual(g.wait_box()[0][:2], [BOX_TITLE, [WRONG_KEY]])
        self.tap(self.driver.find_element(By.CSS_SELECTOR, "dialog.pw-box .pw-ok"))
        g.wait(lambda: g.js("return !!document.querySelector('dialog.pw-dialog[open]')"),
               what="the name window")
        # The keypad is behind the modal window and types nothing into the game.
        self.assertEqual(g.label(SCORE), "1")
        g.keys("Ann")
        self.tap(self.driver.find_element(By.CSS_SELECTOR, "dialog.pw-dialog [data-name=OKButton]"))
        g.wait(lambda: g.stored_record() == record_of(1, "Ann"), what="the record")
        # Nothing moved from the first frame on, boxes and all.
        self.assertEqual(self.driver.execute_async_script(SHIFTS), 0, g.js("return window.__shifts"))


class NameWindow(SiteTest):
    """The name window ends only through the game, and a page closed at a new
    record's box or frozen mid-name keeps the record."""

    # Counts the page's calls of navigator.storage.persist, from before the program loads.
    COUNT_PERSIST = """window.__persist = 0;
        if (navigator.storage && navigator.storage.persist) {
          const persist = navigator.storage.persist.bind(navigator.storage);
          navigator.storage.persist = () => { window.__persist++; return persist(); };
        }"""

    def setUp(self):
        super().setUp()
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                                    {"source": self.COUNT_PERSIST})

    def at_rest(self):
        g = self.game
        return (not self.name_window_open() and g.boxes() == []
                and not g.js("return document.querySelector('.pw-main').hidden")
                and g.label(MESSAGE) == PRESS_RETURN
                and g.active().get_attribute("class") == "pw-client")

    def test_esc_twice_is_the_close_box_and_a_box_closed_by_the_browser_goes_on(self):
        g = self.game
        g.open(self.server.url)
        # The browser closes the box itself (as a close watcher may): the game goes on.
        self.play_and_miss(1, lambda: g.js("document.querySelector('dialog.pw-box').close()"))
        g.wait(self.name_window_open, what="the name window")
        g.keys("Ann", Keys.ESCAPE)
        self.assertTrue(self.name_window_open())
        self.assertTrue(g.js("return document.querySelector('.pw-main').hidden"))
        self.assertEqual(g.stored_record(), b"")
        self.assertEqual(g.js("return __persist"), 0)
        # A second Esc with nothing between: Chromium closes the window
        # itself, and that is a close as the window's ×: the name is kept.
        g.keys(Keys.ESCAPE)
        g.wait(lambda: g.stored_record() == record_of(1, "Ann"), what="Ann's record")
        g.wait(self.at_rest, what="the main window at rest")
        self.assertFalse(g.js("return !!document.querySelector('dialog.pw-dialog')"))
        # The saved record asks the browser to keep the site's storage.
        self.assertEqual(g.js("return __persist"), 1)

    def test_a_tab_closed_at_the_box_or_frozen_mid_name_keeps_the_record(self):
        g, d = self.game, self.driver
        g.open(self.server.url)
        first = d.current_window_handle
        # A new record's box open, and its tab closed: the record stays, with no name.
        d.switch_to.new_window("tab")
        g.open(self.server.url)
        self.play_and_miss(1, d.close)
        d.switch_to.window(first)
        g.wait(lambda: g.stored_record() == record_of(1, ""), what="the record with no name")

        g.js("localStorage.removeItem(arguments[0])", SCORE_FILE)
        self.play_and_miss(1)
        g.wait(self.name_window_open, what="the name window")
        g.keys("Bob")
        # Frozen, as a page in the background can be and then discarded with
        # no further word: the name typed so far is saved, as at the close box.
        d.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "frozen"})
        d.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "active"})
        self.assertEqual(g.stored_record(), record_of(1, "Bob"))
        g.wait(self.at_rest, what="the main window at rest")
        d.refresh()
        g.open(self.server.url)
        alt(d, "mnuFile")
        g.keys(access_key("mnuFileHigh"))
        self.assertEqual(g.wait_box()[0][1], high_score_lines("Bob", 1))


class TwoTabs(SiteTest):
    def test_a_tab_loaded_earlier_keeps_the_other_tabs_better_record(self):
        g = self.game
        g.open(self.server.url)
        self.assertEqual(g.stored_record(), b"")
        tab_a = self.driver.current_window_handle

        # Tab B, opened later, holds Bob, 12.
        self.driver.switch_to.new_window("tab")
        g.open(self.server.url)
        self.play_and_miss(12)
        g.wait(self.name_window_open, what="tab B's name window")
        g.keys("Bob", Keys.ENTER)
        bob = record_of(12, "Bob")
        g.wait(lambda: g.stored_record() == bob, what="Bob's record")

        # Tab A still holds the empty record it read; it scores 1.
        self.driver.switch_to.window(tab_a)
        g.wait(lambda: g.label(MESSAGE) == PRESS_RETURN, what="tab A waiting")
        self.play_and_miss(1)
        g.wait(lambda: g.boxes() == [] and g.label(MESSAGE) == PRESS_RETURN,
               what="tab A's game to end")
        time.sleep(1)  # the name window, if one came, opens once the lock is granted
        self.assertFalse(self.name_window_open())
        self.assertEqual(g.stored_record(), bob)
        alt(self.driver, "mnuFile")
        g.keys(access_key("mnuFileHigh"))
        self.assertEqual(g.wait_box()[0][1], high_score_lines("Bob", 12))


class Offline(SiteTest):
    def test_a_page_loaded_once_plays_again_without_the_server(self):
        g = self.game
        g.open(self.server.url)
        g.wait(lambda: g.js("return !!navigator.serviceWorker.controller"), timeout=15,
               what="the service worker")
        errors = self.driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
        self.assertEqual(errors.get("installabilityErrors"), [], errors)
        self.server.stop()
        self.driver.refresh()
        g.open(self.server.url)
        g.keys(Keys.ENTER)
        self.assertRegex(g.memorized_row(), FIRST_ROW_DIGITS)


# The build a page runs, by the marks NewBuild puts in its index, style sheet and program.
BUILD_MARKS = """return [document.documentElement.dataset.build || null,
  window.porotenBuild || null]"""
# The origin's cache names, and whether the site's worker is still busy installing.
WORKER_STATE = """var done = arguments[arguments.length - 1];
Promise.all([caches.keys(), navigator.serviceWorker.getRegistration()]).then(function (r) {
  done([r[0], !r[1] || !r[1].active || r[1].active.state !== 'activated' ||
        !!r[1].installing || !!r[1].waiting]);
}, function (e) { done([[], String(e)]); });"""
# Fills caches of these names with these files, relative to the page.
FILL_CACHES = """var done = arguments[arguments.length - 1];
Promise.all(Object.entries(arguments[0]).map(([name, files]) => caches.open(name).then(
  c => Promise.all(files.map(f => c.put(f, new Response(f)))))))
  .then(() => done(true), e => done(String(e)));"""


class NewBuild(unittest.TestCase):
    """Two copies of the site in two folders of one origin, from a host
    that lets browsers keep every file for ten minutes; a new build of one."""

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="poroten-sites-")
        for folder in ("a", "b"):
            shutil.copytree(SITE, os.path.join(self.root, folder))
        self.server = Server(self.root, max_age=600)
        self.server.start()
        self.driver = chromium()
        self.game = Game(self.driver)

    def tearDown(self):
        close(self.driver)
        self.server.stop()
        shutil.rmtree(self.root, ignore_errors=True)

    def rebuild(self, folder):
        """The same site with a changed page (its style sheet and pre-frame
        script are inside it) and program, stamped anew by the build's own
        step; returns the old and the new stamp."""
        site = os.path.join(self.root, folder)
        edits = {"index.html": ('<html lang="ja">', '<html lang="ja" data-build="2">'),
                 "poroten.js": ("", "\n;window.porotenBuild = '2';\n")}
        for name, (old, new) in edits.items():
            path = os.path.join(site, name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            text = text.replace(old, new, 1) if old else text + new
            self.assertIn(new, text)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        stamps = [self.stamp(site)]
        subprocess.run(["bash", os.path.join(ROOT, "scripts", "stamp-site.sh"), site], check=True)
        stamps.append(self.stamp(site))
        self.assertNotEqual(*stamps)
        return stamps

    def stamp(self, site):
        with open(os.path.join(site, "sw.js"), encoding="utf-8") as f:
            return re.search(r"VERSION = '([0-9a-f]+)'", f.read()).group(1)

    def caches_once(self, condition, what, timeout=10):
        """The origin's cache names, once the site's worker is done installing
        and they meet the condition."""
        def ready():
            caches, busy = self.driver.execute_async_script(WORKER_STATE)
            return caches if not busy and condition(caches) else None
        return self.game.wait(ready, timeout=timeout, what=what)

    def plays(self):
        self.game.keys(Keys.ENTER)
        self.assertRegex(self.game.memorized_row(), FIRST_ROW_DIGITS)

    def test_a_returning_player_gets_the_new_build_whole_and_offline(self):
        g, d = self.game, self.driver
        a, b = self.server.url + "a/", self.server.url + "b/"
        for url in (b, a):
            g.open(url)
            g.wait(lambda: g.js("return !!navigator.serviceWorker.controller"), timeout=15,
                   what="the service worker")
        self.assertEqual(g.js(BUILD_MARKS), [None, None])
        # Caches as earlier releases named them, after no folder: this
        # site's, the other site's and that of a site in a folder inside this one.
        mine, *others = ["poroten-%016x" % n for n in range(3)]
        self.assertTrue(d.execute_async_script(FILL_CACHES, {
            mine: ["./", "index.html", "poroten.wasm"], others[0]: ["../b/", "../b/index.html"],
            others[1]: ["c/", "c/index.html"]}))
        old, new = self.rebuild("a")

        # The first load after the new build still runs the old one whole,
        # from the old worker; meanwhile the new worker caches the new build
        # from the server (not the ten-minute HTTP cache) and takes over.
        d.refresh()
        g.wait_ready()
        self.assertEqual(g.js(BUILD_MARKS), [None, None])
        self.caches_once(lambda c: any(new in n for n in c), "the new worker", timeout=20)
        # This page keeps getting its own build's files from the new worker.
        self.assertFalse(d.execute_async_script(
            "var done = arguments[0]; fetch('poroten.js').then(r => r.text())"
            ".then(t => done(t.includes('porotenBuild')), e => done(String(e)))"))

        # The next load runs the new build: page and program.
        d.refresh()
        g.wait_ready()
        self.assertEqual(g.js(BUILD_MARKS), ["2", "2"])
        self.plays()
        # The old builds' caches go once no page runs them; the other sites' stay.
        caches = self.caches_once(
            lambda c: mine not in c and not any(a in n and old in n for n in c),
            "the old caches gone")
        self.assertTrue(any(new in n and a in n for n in caches), caches)
        self.assertTrue(any(old in n and b in n for n in caches), caches)
        self.assertLessEqual(set(others), set(caches))

        # Offline: the new build, and the other site as it was.
        self.server.stop()
        d.refresh()
        g.wait_ready()
        self.assertEqual(g.js(BUILD_MARKS), ["2", "2"])
        self.plays()
        g.open(b)
        self.assertEqual(g.js(BUILD_MARKS), [None, None])
        self.plays()


# For -j: the classes whose tests take longest, longest first.
LONGEST_FIRST = ["TwoTabs", "DesktopGame"]


def main():
    global SITE
    args = sys.argv[1:]
    if not args:
        print(__doc__)
        return 2
    SITE = os.path.abspath(args.pop(0))
    return timed_runner.main(sys.modules[__name__], args,
                             [sys.executable, os.path.abspath(__file__), SITE])


if __name__ == "__main__":
    sys.exit(main())
