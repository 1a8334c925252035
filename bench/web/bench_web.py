#!/usr/bin/python3
"""The browser build's figures, measured in headless Chromium on this machine:

  - the site's size over the wire, each file gzip-compressed (level 9);
  - navigation start to the game's window drawn (its first contentful paint:
    the page carries the window), against a plain page of the same markup and
    no program, interleaved; then to the program ready and to a game started
    by an Enter pressed as the page arrived; median of --runs loads each, with
    caches and the service worker bypassed;
  - key press to the answered cell painted blue, --keys right answers: from
    the key event's time stamp to the end of the frame that shows it;
  - tick lateness against the timers' own schedule, --ticks ticks of games left
    to run out (the machine's load average is printed: the figure is meant
    for an idle machine).

  - Lighthouse 12 (mobile and desktop profiles) and axe-core at rest, when
    POROTEN_NPM names a node_modules with lighthouse and axe-core in it.

    bench_web.py SITE_DIR [--runs 21] [--keys 20] [--ticks 60]
"""

import argparse
import gzip
import json
import os
import re
import shutil
import subprocess
import tempfile
import statistics
import sys
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "web", "e2e"))
from browser import CHROMIUM, MESSAGE, Server, browser_game  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

# The first contentful paint (the window, which the page carries), the
# program ready, and a game started by an Enter pressed as soon as the page's
# own script has run (an untrusted event: page.js keeps it all the same).
DRAWN_PROBE = """
new PerformanceObserver(function (list) {
  list.getEntries().forEach(function (e) {
    if (e.name === 'first-contentful-paint') window.__drawn = e.startTime;
  });
}).observe({ type: 'paint', buffered: true });
document.addEventListener('DOMContentLoaded', function () {
  if (!document.querySelector('script[src="poroten.js"]')) return;
  document.dispatchEvent(new KeyboardEvent('keydown', { key: 'Enter', bubbles: true }));
  new MutationObserver(function () {
    var root = document.documentElement;
    if (root.classList.contains('pw-ready') && window.__ready === undefined)
      window.__ready = performance.now();
    var m = document.querySelector('.pw-main [data-id="106"]');
    if (m && m.textContent === '数字を覚えてね' && window.__started === undefined)
      window.__started = performance.now();
  }).observe(document, { subtree: true, childList: true, attributes: true, characterData: true });
});
"""

KEY_PROBE = """
window.__keys = [];
document.addEventListener('keydown', function (e) {
  if (!/^[0-9]$/.test(e.key)) return;
  var t0 = e.timeStamp;
  requestAnimationFrame(function () {
    var ch = new MessageChannel();
    ch.port1.onmessage = function () {
      var blue = [...document.querySelectorAll('.pw-main [data-id]')].filter(function (c) {
        return c.dataset.id < 10 && getComputedStyle(c).backgroundColor === 'rgb(0, 0, 255)';
      }).length;
      window.__keys.push([performance.now() - t0, blue]);
    };
    ch.port2.postMessage(0);
  });
}, true);
"""

# Every write to the countdown, stamped as it happens (an observer would see
# it only after the rest of the handler, a message box included), and Enter.
TICK_PROBE = """
window.__ticks = [];
var label = document.querySelector('.pw-main [data-id="103"]');
var text = Object.getOwnPropertyDescriptor(Node.prototype, 'textContent');
Object.defineProperty(label, 'textContent', {
  get: function () { return text.get.call(this); },
  set: function (v) { window.__ticks.push([performance.now(), v]); text.set.call(this, v); }
});
document.addEventListener('keydown', function (e) {
  if (e.key === 'Enter' && document.activeElement.classList.contains('pw-client'))
    window.__ticks.push([performance.now(), 'enter']);
}, true);
"""


def percentile(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(p / 100 * (len(values) - 1))))]


def site_size(site):
    total = 0
    rows = []
    for name in sorted(os.listdir(site)):
        with open(os.path.join(site, name), "rb") as f:
            data = f.read()
        packed = len(gzip.compress(data, 9))
        rows.append((name, len(data), packed))
        total += packed
    return total, rows


def plain_page(site, folder):
    """The built page without its program: the same markup, drawn with no code."""
    with open(os.path.join(site, "index.html"), encoding="utf-8") as f:
        page = re.sub(r'<script src="poroten\.js"[^>]*></script>\n?', "", f.read())
    with open(os.path.join(folder, "plain.html"), "w", encoding="utf-8") as f:
        f.write(page)


def start_up(server, runs):
    """Medians, in ms from navigation start: (page drawn, plain page drawn,
    program ready, game started by an early Enter)."""
    with browser_game() as g:
        d = g.d
        d.execute_cdp_cmd("Network.enable", {})
        d.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        d.execute_cdp_cmd("Network.setBypassServiceWorker", {"bypass": True})
        d.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": DRAWN_PROBE})
        page, plain, ready, started = [], [], [], []
        for i in range(runs + 1):
            for url, into in ((server.url, page), (server.url + "plain.html", plain)):
                d.get(url)
                g.wait(lambda: g.js("return window.__drawn !== undefined"), what="the window drawn")
                if into is page:
                    g.wait(lambda: g.js("return window.__started !== undefined"),
                           what="the game started")
                if i:  # the first round also starts the browser's own machinery
                    into.append(g.js("return window.__drawn"))
                    if into is page:
                        ready.append(g.js("return window.__ready"))
                        started.append(g.js("return window.__started"))
        return [statistics.median(x) for x in (page, plain, ready, started)]


def lighthouse(modules, url, preset):
    out = tempfile.mktemp(suffix=".json")
    cmd = ["node", os.path.join(modules, "lighthouse", "cli", "index.js"), url, "--quiet",
           "--chrome-flags=--headless=new --no-sandbox", "--output=json", "--output-path=" + out,
           "--only-categories=performance,accessibility"]
    if preset == "desktop":
        cmd.append("--preset=desktop")
    subprocess.run(cmd, check=True, env={**os.environ, "CHROME_PATH": CHROMIUM})
    with open(out, encoding="utf-8") as f:
        r = json.load(f)
    os.remove(out)
    a = r["audits"]
    return (round(r["categories"]["performance"]["score"] * 100),
            round(r["categories"]["accessibility"]["score"] * 100),
            a["largest-contentful-paint"]["numericValue"], a["first-contentful-paint"]["numericValue"],
            a["cumulative-layout-shift"]["numericValue"])


def key_to_paint(server, keys):
    with browser_game() as g:
        g.open(server.url)
        g.js(KEY_PROBE)
        g.keys(Keys.ENTER)
        typed = 0
        while typed < keys:
            row = g.memorized_row()
            g.wait_answer_phase()
            for digit in row:
                g.keys(digit)
                typed += 1
                time.sleep(0.05)
        samples = g.js("return window.__keys")
        # A row's last key shows the next row instead: no blue cell to time.
        return [ms for ms, blue in samples if blue > 0]


def tick_lateness(server, ticks):
    with browser_game() as g:
        g.open(server.url)
        # One game first, unmeasured: the page's first seconds also compile the
        # Wasm's optimized tier and fill the worker's cache.
        g.keys(Keys.ENTER)
        g.wait(lambda: len(g.boxes()) == 1, timeout=12, what="時間切れ")
        g.keys(Keys.ENTER)
        g.js(TICK_PROBE)
        while True:
            g.keys(Keys.ENTER)
            g.wait(lambda: len(g.boxes()) == 1, timeout=12, what="時間切れ")
            g.keys(Keys.ENTER)  # closes the box
            g.wait(lambda: g.label(MESSAGE) == "リターンを押してね", what="rest")
            late = lateness(g.js("return window.__ticks"))
            if len(late) >= ticks:
                return late[:ticks]


def lateness(events):
    """Each tick against its timer's schedule. A game left to run out writes
    3 (memorize timer on), 2, 1, 0 and at once 5 (answer timer on), then 4,
    3, 2, 1, 0: the 3 and the 5 written as a timer starts are the origins."""
    late = []
    phase, origin, k = None, 0.0, 0
    for t, text in events:
        if text == "enter":
            phase = "start"
        elif phase == "start" and text == "3":
            phase, origin, k = "memorize", t, 0
        elif phase == "memorize" and text == "5":
            phase, origin, k = "answer", t, 0
        elif phase in ("memorize", "answer"):
            k += 1
            late.append(t - (origin + 1000 * k))
            if phase == "answer" and text == "0":
                phase = None
    return late


def main():
    p = argparse.ArgumentParser()
    p.add_argument("site")
    p.add_argument("--runs", type=int, default=7)
    p.add_argument("--keys", type=int, default=20)
    p.add_argument("--ticks", type=int, default=60)
    a = p.parse_args()

    total, rows = site_size(a.site)
    print("site over the wire, gzip -9:")
    for name, raw, packed in rows:
        print("  %-22s %7d B -> %6d B" % (name, raw, packed))
    print("load average before the timed parts: %s" % open("/proc/loadavg").read().split()[0])
    print("  total %.1f KB (target <= 150 KB): %s" % (total / 1024, "met" if total <= 150 * 1024 else "MISSED"))

    folder = tempfile.mkdtemp(prefix="poroten-bench-site-")
    shutil.rmtree(folder)
    shutil.copytree(a.site, folder)
    plain_page(a.site, folder)
    server = Server(folder)
    server.start()
    try:
        drawn, plain, ready, started = start_up(server, a.runs)
        print("navigation start to window drawn, medians of %d interleaved loads: page %.1f ms, "
              "plain page %.1f ms, ratio %.2f (target <= 1.2): %s" % (
                  a.runs, drawn, plain, drawn / plain, "met" if drawn <= 1.2 * plain else "MISSED"))
        print("navigation start to program ready: median %.1f ms; to a game started by an Enter "
              "pressed as the page arrived: median %.1f ms" % (ready, started))
        modules = os.environ.get("POROTEN_NPM")
        if modules:
            for preset in ("mobile", "desktop"):
                perf, access, lcp, fcp, cls = lighthouse(modules, server.url, preset)
                print("Lighthouse %s: performance %d, accessibility %d, LCP %.0f ms, FCP %.0f ms, "
                      "CLS %.3f" % (preset, perf, access, lcp, fcp, cls))
            with browser_game() as g:
                os.environ["POROTEN_AXE"] = os.path.join(modules, "axe-core", "axe.min.js")
                import browser
                browser.AXE = os.environ["POROTEN_AXE"]
                g.open(server.url)
                print("axe-core at rest, best practices included: %d violations %s"
                      % (len(g.axe()), [v[0] for v in g.axe()]))
        k = key_to_paint(server, a.keys)
        med, p95 = statistics.median(k), percentile(k, 95)
        print("key press to answered cell painted blue, %d keys: median %.1f ms, 95th %.1f ms, "
              "worst %.1f ms (target < 16 ms): %s" % (len(k), med, p95, max(k),
                                                     "met" if med < 16 and p95 < 16 else "MISSED"))
        late = tick_lateness(server, a.ticks)
        print("  each tick, ms late: " + " ".join("%+.1f" % x for x in late))
        print("tick lateness, %d ticks: median %+.2f ms, min %+.2f ms, max %+.2f ms "
              "(target within +-5 ms): %s" % (len(late), statistics.median(late), min(late),
                                              max(late),
                                              "met" if max(abs(x) for x in late) <= 5 else "MISSED"))
    finally:
        server.stop()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
