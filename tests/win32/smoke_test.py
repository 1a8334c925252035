#!/usr/bin/env python3
"""Plays poroten.exe under Wine on a virtual X screen, as a player would.

Keys go in as X key events (xdotool); what the windows show is read from
screenshots (ImageMagick) and, for the digits to type back, from the window's
own controls through a small Win32 helper (poroten_probe.exe) in the same
Wine session. Checks: the window comes up; Enter shows the first row's
digits on green cells; right answers turn cells blue and score a point; a
wrong key opens the message box; the new record takes a name and is written
beside the program and in the user's folder in the score file's exact bytes;
File > Exit ends the process. Every text, colour, size and byte expected is
the game's own, from the facts file the build writes (POROTEN_FACTS).
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(1, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))  # game_facts
from game_facts import (BOX_TITLE, BOXES, CELL_COUNT, COLOURS, FIRST_ROW, MAIN,  # noqa: E402
                        MAIN_TITLE, NAME_TITLE, PRESS_RETURN, RECORD, SCORE_FILE, START,
                        WRONG_KEY, cell_name, control, high_score_lines, menu_text,
                        record_bytes)

DIALOG_TITLE = NAME_TITLE
HIGH_SCORE_TITLE = BOXES["highScoreTitle"]
LABEL5 = control(MAIN, "Label5")["id"]  # the score
LABEL6 = control(MAIN, "Label6")["id"]  # the message line
CELL_IDS = [control(MAIN, cell_name(i))["id"] for i in range(CELL_COUNT)]
NEW_DIGIT = COLOURS["cellNewDigit"]
AT_REST = COLOURS["cellAtRest"]
ANSWERED = COLOURS["cellAnswered"]
TEAL = COLOURS["teal"]
NAME = "Wine"


def menu_keys(*names):
    """The keys that reach a menu entry: Alt and each access key on the way."""
    keys = []
    for name in names:
        text = menu_text(name, access_mark=True)
        letter = text[text.index("&") + 1].lower()
        keys.append("alt+" + letter if not keys else letter)
    return keys


def box_text(lines):
    """A box's lines as the Windows box's text holds them."""
    return "\r\n".join(lines)


def record_of(score, name):
    return record_bytes(score, name.encode("cp932"))


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok:", message, flush=True)


class Session:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        self.env = dict(os.environ)
        self.env.setdefault("WINEPREFIX", os.path.join(self.work, "wineprefix"))
        self.env["WINEDEBUG"] = "-all"
        self.env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
        self.xvfb = None
        self.game = None
        self.shots = 0
        self.others = set()  # X windows of another copy, which no key may reach

    # --- set-up -----------------------------------------------------------
    def start_display(self):
        if self.env.get("DISPLAY"):
            return
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            self.env["DISPLAY"] = ":" + f.readline().strip()

    def user_folder(self):
        """The game's folder in %APPDATA%, where every copy keeps the record too."""
        shown = subprocess.run(["wine", "cmd", "/c", "echo %APPDATA%"], env=self.env,
                               stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, timeout=60).stdout.decode().strip()
        unix = subprocess.run(["winepath", "-u", shown], env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, check=True).stdout.decode().strip()
        return os.path.join(unix, RECORD["dataFolder"])

    def forget_records(self):
        """A player who never played: no record in the user's folder of this prefix."""
        self.user_record = os.path.join(self.user_folder(), SCORE_FILE)
        shutil.rmtree(os.path.dirname(self.user_record), ignore_errors=True)

    def start_game(self):
        self.forget_records()
        if self.args.in_place:
            # An installed or unzipped copy plays where it lies.
            self.exe = os.path.abspath(self.args.exe)
            folder = os.path.dirname(self.exe)
        else:
            folder = os.path.join(self.work, "game")
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            self.exe = os.path.join(folder, "poroten.exe")
            shutil.copy(self.args.exe, self.exe)
        self.score_file = os.path.join(folder, SCORE_FILE)
        self.game = subprocess.Popen(["wine", self.exe], cwd=folder, env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        if self.game and self.game.poll() is None:
            # Only this test's own prefix: its wineserver ends what is left in it.
            subprocess.run(["wineserver", "-k"], env=self.env, check=False)
            self.game.wait(timeout=20)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)

    # --- looking ------------------------------------------------------------
    def probe(self, title):
        """The window's rectangles and its children's by id, or None when not shown."""
        run = subprocess.run(["wine", self.args.probe, title], env=self.env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
        if run.returncode != 0:
            return None
        window = None
        children = {}
        for line in run.stdout.decode("utf-8", "replace").splitlines():
            line = line.rstrip("\r")
            parts = line.split(" ", 7)
            if parts[0] == "window":
                nums = [int(p) for p in line.split(" ")[2:10]]
                window = {"outer": nums[0:4], "client": nums[4:8]}
            elif parts[0] == "child":
                children[int(parts[1])] = {
                    "class": parts[2],
                    "rect": [int(p) for p in parts[3:7]],
                    "text": unescape(parts[7]) if len(parts) > 7 else "",
                }
        return {"window": window, "children": children}

    def wait_for(self, what, predicate, timeout):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            value = predicate()
            if value:
                return value
            time.sleep(0.1)
        raise Failure("timed out waiting for " + what)

    def texts(self, title=MAIN_TITLE):
        shown = self.probe(title)
        if not shown:
            return None
        return {cid: c["text"] for cid, c in shown["children"].items()}

    def screenshot(self, label):
        self.shots += 1
        png = os.path.join(self.work, "%02d-%s.png" % (self.shots, label))
        subprocess.run(["import", "-window", "root", png], env=self.env, check=True)
        ppm = subprocess.run(["convert", png, "ppm:-"], stdout=subprocess.PIPE, check=True).stdout
        return Picture(ppm)

    def xwindow(self, title):
        run = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                             env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        ids = [i.decode() for i in run.stdout.split() if i.decode() not in self.others]
        return ids[0] if ids else None

    def xwindows(self, title):
        """Every X window with that name, shown or not."""
        run = subprocess.run(["xdotool", "search", "--name", "^%s$" % title],
                             env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return {i.decode() for i in run.stdout.split()}

    def keys(self, title, *keys):
        window = self.wait_for("X window " + title, lambda: self.xwindow(title), 20)
        for key in keys:
            subprocess.run(["xdotool", "key", "--window", window, key], env=self.env,
                           check=True, stderr=subprocess.DEVNULL)
            time.sleep(0.15)


    def type_text(self, title, text):
        # Real key presses (XTEST) rather than events sent to the window, so
        # that Wine sees the Shift key of capital letters go down. Without a
        # window manager the keyboard follows the pointer.
        shown = self.wait_for(title, lambda: self.probe(title), 20)
        left, top, right, bottom = shown["window"]["client"]
        subprocess.run(["xdotool", "mousemove", str((left + right) // 2), str(top + 5)],
                       env=self.env, check=True)
        subprocess.run(["xdotool", "type", "--delay", "100", text], env=self.env, check=True,
                       stderr=subprocess.DEVNULL)


class Picture:
    def __init__(self, ppm):
        # P6 header: magic, width, height, maxval, each followed by whitespace.
        fields = []
        pos = 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not ppm[pos:pos + 1].isspace():
                pos += 1
            fields.append(ppm[start:pos])
        self.width, self.height = int(fields[1]), int(fields[2])
        self.data = ppm[pos + 1:]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def dark_pixels(self, rect):
        left, top, right, bottom = rect
        return sum(1 for y in range(top, bottom) for x in range(left, right)
                   if sum(self.pixel(x, y)) < 200)


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"r": "\r", "n": "\n"}.get(m.group(1), m.group(1)), text)


def near(colour, expected, tolerance=8):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def cell_rects(shown):
    return [shown["children"][i]["rect"] for i in CELL_IDS]


def row_shown(s):
    """The first row's digits once the cells show them, else None."""
    texts = s.texts() or {}
    return texts if texts.get(CELL_IDS[0]) else None


def play(s):
    shown = s.wait_for("the main window", lambda: s.probe(MAIN_TITLE), 90)
    check(shown["window"] is not None, "window %s is on screen" % MAIN_TITLE)
    client = shown["window"]["client"]
    check([client[2] - client[0], client[3] - client[1]] == MAIN["clientPixels"],
          "client area is %s twips at 96 dpi (%s px)" % (MAIN["client"], MAIN["clientPixels"]))
    check(shown["children"][LABEL6]["text"] == PRESS_RETURN, "waits for Enter")
    picture = s.screenshot("start")
    check(near(picture.pixel(client[0] + 4, client[1] + 4), TEAL), "teal window background")
    cells = cell_rects(shown)

    # Enter: the first row of digits on the cells of new digits, the rest at rest.
    s.keys(MAIN_TITLE, "Return")
    texts = s.wait_for("the digits", lambda: row_shown(s), 10)
    digits = [texts[i] for i in CELL_IDS[:FIRST_ROW]]
    picture = s.screenshot("digits")
    check(all(len(d) == 1 and d.isdigit() for d in digits)
          and all(texts[i] == "" for i in CELL_IDS[FIRST_ROW:]),
          "%d digits shown: %s" % (FIRST_ROW, "".join(digits)))
    check(all(near(picture.pixel(r[0] + 3, r[1] + 3), NEW_DIGIT if i < FIRST_ROW else AT_REST)
              for i, r in enumerate(cells)), "the cells' colours")
    inked = [picture.dark_pixels(r) for r in cells]
    check(all(n > 30 for n in inked[:FIRST_ROW]) and all(n == 0 for n in inked[FIRST_ROW:]),
          "digit ink in the first row's cells only %s" % inked)

    # The answer: each right digit turns its cell blue; the whole row scores a point.
    s.wait_for("the answer phase", lambda: (s.texts() or {}).get(LABEL6) == START, 10)
    s.keys(MAIN_TITLE, digits[0])
    picture = s.screenshot("first-answer")
    check(near(picture.pixel(cells[0][0] + 3, cells[0][1] + 3), ANSWERED),
          "a right digit turns its cell blue")
    s.keys(MAIN_TITLE, *digits[1:])
    s.wait_for("score 1", lambda: (s.texts() or {}).get(LABEL5) == "1", 10)
    check(True, "score 1 after the row")

    # A wrong key ends the game with a message box.
    texts = s.wait_for("the second row", lambda: row_shown(s), 10)
    wrong = str((int(texts[CELL_IDS[0]]) + 1) % 10)
    s.wait_for("the answer phase", lambda: (s.texts() or {}).get(LABEL6) == START, 10)
    s.keys(MAIN_TITLE, wrong)
    box = s.wait_for("the message box", lambda: s.probe(BOX_TITLE), 10)
    s.screenshot("wrong-key")
    check(any(c["text"] == WRONG_KEY for c in box["children"].values()), "wrong key: " + WRONG_KEY)
    s.keys(BOX_TITLE, "Return")

    # The new record: the name window, then the file beside the program.
    s.wait_for("the name window", lambda: s.probe(DIALOG_TITLE), 10)
    check(s.probe(MAIN_TITLE) is None, "the main window hides while the name is asked")
    s.screenshot("name")
    s.type_text(DIALOG_TITLE, NAME)
    s.keys(DIALOG_TITLE, "Return")
    s.wait_for("the main window again", lambda: s.probe(MAIN_TITLE), 10)
    expected = record_of(1, NAME)
    for where, path in (("beside the program", s.score_file), ("in the user's folder", s.user_record)):
        with open(path, "rb") as f:
            record = f.read()
        check(record == expected, "%s %s holds %s" % (SCORE_FILE, where, record.hex(" ")))

    # File > High score shows the record, each line on its own.
    s.keys(MAIN_TITLE, *menu_keys("mnuFile", "mnuFileHigh"))
    box = s.wait_for("the high score box", lambda: s.probe(HIGH_SCORE_TITLE), 10)
    s.screenshot("high-score")
    texts = [c["text"] for c in box["children"].values()]
    check(box_text(high_score_lines(NAME, 1)) in texts, "high score box: %r" % texts)
    s.keys(HIGH_SCORE_TITLE, "Return")
    s.wait_for("the box to close", lambda: s.probe(HIGH_SCORE_TITLE) is None, 10)

    # File > Exit ends the program.
    s.keys(MAIN_TITLE, *menu_keys("mnuFile", "mnuFileExit"))
    try:
        code = s.game.wait(timeout=20)
    except subprocess.TimeoutExpired:
        raise Failure("the process did not end after File > Exit")
    check(code == 0, "File > Exit ended the process (exit code %d)" % code)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--in-place", action="store_true",
                        help="play the program in its own folder, which holds no record yet")
    args = parser.parse_args()
    for tool in ("wine", "wineserver", "Xvfb", "xdotool", "import", "convert"):
        if not shutil.which(tool):
            print("missing tool:", tool, file=sys.stderr)
            return 1
    os.makedirs(args.work, exist_ok=True)
    for old in os.listdir(args.work):
        if old.endswith(".png"):
            os.remove(os.path.join(args.work, old))
    session = Session(args)
    try:
        session.start_display()
        session.start_game()
        play(session)
        print("smoke test passed; screenshots in", session.work)
        return 0
    except Failure as failure:
        print("FAILED:", failure, file=sys.stderr)
        session.screenshot("failure")
        return 1
    finally:
        session.stop()


if __name__ == "__main__":
    sys.exit(main())
