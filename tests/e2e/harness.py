"""Drives the real poroten program on an X display the way a player and a
screen reader do: X key and mouse events through xdotool, the screen read back
through AT-SPI and through screenshots.

Import this only inside a D-Bus session whose accessibility bus is running
(run_e2e.py sets that up); pyatspi connects to it at import time.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

import pyatspi

from game_facts import (BOX_TITLE, CELL_COUNT, COLOURS, MAIN, MAIN_TITLE, MEMORIZE,  # noqa: F401
                        NAME_TITLE, PRESS_RETURN, SCORE_FILE, START, cell_name)

# Client-area geometry in pixels, as the layout in twips gives it.
CLIENT_SIZE = tuple(MAIN["clientPixels"])


def cell_rect(i):
    return tuple(MAIN["controls"][cell_name(i)]["pixels"])


LABEL_RECTS = {name: tuple(c["pixels"]) for name, c in MAIN["controls"].items()
               if not name.startswith("Label1(")}

TEAL = COLOURS["teal"]
CYAN = COLOURS["cyan"]
# A digit cell's colour by what it tells.
AT_REST = COLOURS["cellAtRest"]
NEW_DIGIT = COLOURS["cellNewDigit"]
ANSWERED = COLOURS["cellAnswered"]


def row_colours(shown=0, answered=0):
    """The cells' colours with `shown` cells in play, the first `answered` of them answered."""
    return [ANSWERED] * answered + [NEW_DIGIT] * (shown - answered) + [AT_REST] * (CELL_COUNT - shown)


class Timeout(AssertionError):
    pass


def wait_for(what, probe, timeout=5.0, interval=0.02):
    """Polls probe() until it returns something truthy; fails naming what."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            last = probe()
        except Exception as error:  # an accessible that went away mid-read
            last = error
        else:
            if last:
                return last
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout:.1f} s waiting for {what} (last: {last!r})")
        time.sleep(interval)


# --- X -------------------------------------------------------------------

def xdotool(*args, check=True):
    return subprocess.run(["xdotool", *map(str, args)], check=check, capture_output=True,
                          text=True).stdout


def x_windows(pid, title, only_visible=True):
    """X ids of the top-level windows of process pid whose title is exactly title."""
    args = ["search"]
    if only_visible:
        args.append("--onlyvisible")
    args += ["--all", "--pid", pid, "--name", f"^{title}$"]
    out = xdotool(*args, check=False)
    return [int(w) for w in out.split()]


def x_map_state(window):
    out = subprocess.run(["xwininfo", "-id", str(window)], capture_output=True, text=True).stdout
    for line in out.splitlines():
        if "Map State:" in line:
            return line.split(":", 1)[1].strip()
    return None


def focus(window):
    # No window manager runs: the X focus has to be set by hand before typing.
    xdotool("windowfocus", "--sync", window)


def key(*names):
    xdotool("key", "--clearmodifiers", *names)


def type_text(text):
    bind_keys(text)
    xdotool("type", "--delay", 40, text)


def bind_keys(text):
    """Gives each character of text without a key of its own (kana, kanji,
    full-width digits) a spare keycode that stays bound. xdotool would bind one
    for the moment it types and unbind it at once, and a program slow to read
    the new key map (a loaded machine) then reads the key unbound and drops it."""
    from Xlib import display
    wanted = [c for c in dict.fromkeys(text) if ord(c) > 0x7e]
    if not wanted:
        return
    d = display.Display()
    try:
        first = d.display.info.min_keycode
        count = d.display.info.max_keycode - first + 1
        keymap = d.get_keyboard_mapping(first, count)
        bound = {sym for syms in keymap for sym in syms}
        # xdotool still needs the first free keycode for its own binding.
        free = [first + i for i, syms in enumerate(keymap) if not any(syms)][1:]
        for char in wanted:
            sym = 0x01000000 + ord(char)
            if sym in bound:
                continue
            if not free:
                break
            d.change_keyboard_mapping(free.pop(0), [(sym,) * len(keymap[0])])
        d.sync()
    finally:
        d.close()


def click(x, y):
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", 1)


class Screenshot:
    """The whole screen as `import -window root` captures it."""

    def __init__(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                              check=True, capture_output=True).stdout
        fields = []
        pos = 0
        while len(fields) < 4:  # magic, width, height, maxval
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        assert fields[0] == b"P6", fields[0]
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[pos + 1:]

    def rgb(self, x, y):
        o = (y * self.width + x) * 3
        return tuple(self.pixels[o:o + 3])

    def save_png(self, path):
        subprocess.run(["import", "-window", "root", path], check=False)


# --- AT-SPI --------------------------------------------------------------

def fresh(acc):
    # The AT-SPI client caches names; a label's text changes under it.
    try:
        acc.clear_cache()
    except Exception:
        pass
    return acc


def name_of(acc):
    return fresh(acc).name


def role_of(acc):
    return acc.getRoleName()


def children(acc):
    return [acc.getChildAtIndex(i) for i in range(fresh(acc).childCount)]


def walk(acc):
    yield acc
    for child in children(acc):
        if child is not None:
            yield from walk(child)


def extents(acc):
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def states(acc):
    return set(fresh(acc).getState().getStates())


def showing(acc):
    return pyatspi.STATE_SHOWING in states(acc)


def find_app(pid, timeout=10.0):
    desktop = pyatspi.Registry.getDesktop(0)

    def probe():
        for app in children(desktop):
            if app is not None and app.get_process_id() == pid:
                return app
        return None

    return wait_for(f"AT-SPI application of pid {pid}", probe, timeout)


class Box:
    """A message box as the screen reader sees it."""

    def __init__(self, game, acc):
        self.game = game
        self.acc = acc
        self.title = name_of(acc)
        self.role = role_of(acc)
        # Lines shown: every non-empty label, in reading order (top to bottom).
        labels = [a for a in walk(acc) if role_of(a) == "label" and name_of(a)]
        labels.sort(key=lambda a: (extents(a)[1], extents(a)[0]))
        self.label_texts = [name_of(a) for a in labels]
        self.lines = "\n".join(self.label_texts).split("\n")
        self.buttons = [name_of(a) for a in walk(acc) if role_of(a) == "push button"]

    def dismiss(self):
        windows = wait_for("the box's X window",
                           lambda: x_windows(self.game.pid, self.title), 3.0)
        focus(windows[-1])
        key("Return")
        wait_for("the box to close", lambda: not self.game.boxes(self.title), 5.0)


class Game:
    """One run of a fresh copy of the program in its own temporary folder."""

    def __init__(self, binary, folder=None, env=None, ignoring=()):
        self.root = tempfile.mkdtemp(prefix="poroten-e2e-")
        self.folder = folder or os.path.join(self.root, "bin")
        if folder is None:
            os.makedirs(self.folder)
            shutil.copy2(binary, os.path.join(self.folder, "poroten"))
            self.binary = os.path.join(self.folder, "poroten")
        else:
            self.binary = binary
        self.data_home = os.path.join(self.root, "data")
        self.runtime = os.path.join(self.root, "runtime")
        os.makedirs(self.runtime, mode=0o700)
        self.env = dict(os.environ)
        self.env.update({
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_QPA_PLATFORM": "xcb",
            "XDG_DATA_HOME": self.data_home,
            "XDG_RUNTIME_DIR": self.runtime,
            "LANG": "C.UTF-8",
        })
        self.env.pop("QT_ACCESSIBILITY", None)
        for name, value in (env or {}).items():
            if value is None:
                self.env.pop(name, None)
            else:
                self.env[name] = value
        self.ignoring = tuple(ignoring)  # signals ignored at start, as under nohup
        self.proc = None
        self.app = None
        self._main = None
        self._labels = None
        self.log_path = os.path.join(self.root, "poroten.log")

    # lifetime

    def start(self):
        self.log = open(self.log_path, "wb")
        ignoring = self.ignoring

        def ignore():
            for sig in ignoring:
                signal.signal(sig, signal.SIG_IGN)

        self.proc = subprocess.Popen([self.binary], cwd=self.root, env=self.env,
                                     stdout=self.log, stderr=subprocess.STDOUT,
                                     preexec_fn=ignore if ignoring else None)
        self.app = find_app(self.proc.pid)
        self._main = wait_for("the main window", lambda: self._find_frame(MAIN_TITLE), 10.0)
        self.main_xid = wait_for("the main window's X window",
                                 lambda: x_windows(self.pid, MAIN_TITLE), 5.0)[0]
        wait_for("the main window mapped", lambda: x_map_state(self.main_xid) == "IsViewable")
        return self

    @property
    def pid(self):
        return self.proc.pid

    def stop(self):
        """Ends the program, keeping its folder."""
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        if getattr(self, "log", None):
            self.log.close()

    def close(self):
        self.stop()
        shutil.rmtree(self.root, ignore_errors=True)

    def output(self):
        try:
            with open(self.log_path, "rb") as f:
                return f.read().decode("utf-8", "replace")
        except OSError:
            return ""

    # windows

    def _find_frame(self, title):
        for child in children(self.app):
            if child is not None and name_of(child) == title and showing(child):
                return child
        return None

    def windows_shown(self):
        """Titles of the program's top-level windows on screen."""
        return [name_of(c) for c in children(self.app) if c is not None and showing(c)]

    def boxes(self, title=BOX_TITLE):
        return [c for c in children(self.app)
                if c is not None and role_of(c) in ("dialog", "alert", "frame", "window")
                and name_of(c) == title and showing(c)]

    def wait_box(self, title=BOX_TITLE, timeout=5.0):
        acc = wait_for(f"a box titled {title!r}", lambda: self.boxes(title), timeout)[0]
        # Its contents may arrive a moment after the window itself.
        return wait_for("the box's text", lambda: (lambda b: b if b.label_texts else None)(
            Box(self, acc)), 3.0)

    @property
    def main(self):
        return self._main

    def main_extents(self):
        return extents(self._main)

    def client_origin(self):
        """Screen position of the client area's top-left corner, below the menu bar."""
        x, y, w, h = self.main_extents()
        return (x, y + h - CLIENT_SIZE[1])

    def labels(self):
        """The main window's labels by control name, found by where they sit."""
        if self._labels is None:
            ox, oy = self.client_origin()
            by_place = {}
            for acc in walk(self._main):
                if role_of(acc) == "label":
                    x, y, w, h = extents(acc)
                    by_place[(x - ox, y - oy, w, h)] = acc
            found = {}
            for i in range(CELL_COUNT):
                found[f"Label1({i})"] = by_place.get(cell_rect(i))
            for name, rect in LABEL_RECTS.items():
                found[name] = by_place.get(rect)
            missing = [n for n, a in found.items() if a is None]
            if missing:
                raise AssertionError(f"labels not where the layout puts them: {missing}; "
                                     f"labels seen at {sorted(by_place)} (origin {ox},{oy})")
            self._labels = found
        return self._labels

    def text(self, name):
        return name_of(self.labels()[name])

    def cells(self):
        return [self.text(f"Label1({i})") for i in range(CELL_COUNT)]

    def digits(self):
        """The row on show, read before it blanks."""
        row = self.cells()
        shown = [c for c in row if c != ""]
        assert all(len(c) == 1 and c.isdigit() for c in shown), row
        return "".join(shown)

    def wait_text(self, name, expected, timeout=5.0):
        return wait_for(f"{name} to read {expected!r}", lambda: self.text(name) == expected,
                        timeout)

    def cell_colours(self, shot=None):
        """Each cell's colour, sampled inside its top-left corner away from the digit."""
        shot = shot or Screenshot()
        ox, oy = self.client_origin()
        return [shot.rgb(ox + cell_rect(i)[0] + 3, oy + cell_rect(i)[1] + 3)
                for i in range(CELL_COUNT)]

    def label_colour(self, name, shot=None):
        shot = shot or Screenshot()
        ox, oy = self.client_origin()
        x, y, w, h = LABEL_RECTS[name]
        return shot.rgb(ox + x + 2, oy + y + 2)

    def wait_cell_colours(self, expected, timeout=3.0):
        return wait_for(f"cell colours {expected}", lambda: self.cell_colours() == expected,
                        timeout, interval=0.05)

    # input

    def focus_main(self):
        focus(self.main_xid)

    def press(self, *keys):
        self.focus_main()
        key(*keys)

    def type_answer(self, digits):
        self.focus_main()
        xdotool("type", "--delay", 30, digits)

    def start_game(self):
        """Enter, then the row read while it shows. Returns the digits."""
        self.press("Return")
        self.wait_text("Label6", MEMORIZE)
        return self.digits()

    def wait_answer_phase(self, timeout=5.0):
        self.wait_text("Label6", START, timeout)

    def menu_item(self, *path):
        """Clicks through the menu bar: ("ファイル(F)", "ハイスコア(H)")."""
        node = self._main
        for depth, label in enumerate(path):
            item = wait_for(f"menu item {label!r}", lambda: next(
                (a for a in walk(node) if role_of(a) == "menu item" and name_of(a) == label
                 and extents(a)[2] > 0 and (depth == 0 or showing(a))), None), 3.0)
            x, y, w, h = extents(item)
            if depth == 0:
                self.focus_main()
            click(x + w // 2, y + h // 2)
            node = item

    def score_file(self, folder=None):
        path = os.path.join(folder or self.folder, SCORE_FILE)
        with open(path, "rb") as f:
            return f.read()


def close_window(window):
    """What a window manager's close box does: asks the client with WM_DELETE_WINDOW."""
    from Xlib import X, display, protocol
    d = display.Display()
    try:
        target = d.create_resource_object("window", window)
        event = protocol.event.ClientMessage(
            window=target, client_type=d.intern_atom("WM_PROTOCOLS"),
            data=(32, [d.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        target.send_event(event, event_mask=X.NoEventMask)
        d.flush()
    finally:
        d.close()
