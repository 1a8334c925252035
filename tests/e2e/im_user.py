#!/usr/bin/python3
"""Plays poroten with a real Japanese input method, IBus or Fcitx 5, each with
Mozc, started here on the display for this run. Mozc's conversion server will
not run as root, so test_input_methods.py runs this as the suite's
unprivileged user inside that user's own D-Bus session:

    dbus-run-session -- im_user.py --inner PROGRAM ibus|fcitx

Prints one JSON object of what it saw (see play() for the keys); an input
method that cannot be started here is reported as {"unavailable": why}.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import session  # noqa: E402

FCITX_PROFILE = """\
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
"""


ZENKAKU_HANKAKU = 0xFF2A  # the keysym that switches a Japanese input method on and off


class Unavailable(Exception):
    pass


def own_processes():
    uid = os.getuid()
    pids = set()
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.stat(f"/proc/{entry}").st_uid == uid:
                    pids.add(int(entry))
            except OSError:
                pass
    return pids


def poll(probe, timeout, interval=0.1):
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result or time.monotonic() > deadline:
            return result
        time.sleep(interval)


def output(*args):
    run = subprocess.run(args, capture_output=True, text=True)
    return run.stdout.strip() if run.returncode == 0 else ""


class InputMethod:
    """One input method daemon with Mozc, its settings in a folder of its own."""

    def __init__(self, kind, config):
        self.kind = kind
        self.config = config
        self.env = {}  # what the program needs to reach it
        self.log = open(os.path.join(config, "im.log"), "wb")

    def start(self):
        env = dict(os.environ, **self.env)
        if self.kind == "ibus":
            # Mozc draws its own candidate list. IBus's panel would pick the
            # engine from the user's saved settings, over the one set below.
            self.daemon = subprocess.Popen(
                ["ibus-daemon", "--panel=disable", "--emoji-extension=disable",
                 "--config=disable", "--replace"], env=env, stdout=self.log, stderr=self.log)
            address = poll(lambda: output("ibus", "address").replace("(null)", ""), 20)
            if not address:
                raise Unavailable("ibus-daemon did not answer")
            self.env["IBUS_ADDRESS"] = address

            def use_mozc():
                subprocess.run(["ibus", "engine", "mozc-jp"], capture_output=True)
                return output("ibus", "engine") == "mozc-jp"

            if not poll(use_mozc, 20):
                raise Unavailable("IBus has no Mozc engine (ibus engine mozc-jp failed)")
            self.env["QT_IM_MODULE"] = "ibus"
        else:
            os.makedirs(os.path.join(self.config, "fcitx5"))
            with open(os.path.join(self.config, "fcitx5", "profile"), "w") as f:
                f.write(FCITX_PROFILE)
            # One state for every window, as IBus keeps it: switched on in the
            # name box, it is on for the main window too.
            with open(os.path.join(self.config, "fcitx5", "config"), "w") as f:
                f.write("[Behavior]\nShareInputState=All\n")
            self.daemon = subprocess.Popen(["fcitx5", "--replace", "--keep"], env=env,
                                           stdout=self.log, stderr=self.log)
            # Asked before it owns its bus name, D-Bus would start a second one.
            if not poll(lambda: "true" in output(
                    "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                    "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                    "string:org.fcitx.Fcitx5"), 20):
                raise Unavailable("fcitx5 did not answer")
            if "mozc" not in self.input_methods():
                raise Unavailable("Fcitx 5 has no Mozc input method")
            self.env["QT_IM_MODULE"] = "fcitx"
        return self

    def input_methods(self):
        return output("dbus-send", "--session", "--print-reply", "--dest=org.fcitx.Fcitx5",
                      "/controller", "org.fcitx.Fcitx.Controller1.AvailableInputMethods")

    def stop(self):
        if self.kind == "ibus":
            subprocess.run(["ibus", "exit"], capture_output=True)
        else:
            subprocess.run(["fcitx5-remote", "-e"], capture_output=True)
        try:
            self.daemon.wait(5)
        except subprocess.TimeoutExpired:
            self.daemon.kill()
            self.daemon.wait()
        self.log.close()


def bind_spare_keycode(keysym):
    """Gives keysym a key of its own for the run: xdotool would otherwise remap
    a key for each press, and the input method may read the press against the
    keymap from before. Returns a function that frees the key again."""
    from Xlib import display
    d = display.Display()
    first = d.display.info.min_keycode
    count = d.display.info.max_keycode - first + 1
    mapping = d.get_keyboard_mapping(first, count)
    spare = next(first + i for i in range(count - 1, -1, -1) if not any(mapping[i]))
    width = len(mapping[0])
    d.change_keyboard_mapping(spare, [(keysym,) * width])
    d.sync()

    def free():
        d.change_keyboard_mapping(spare, [(0,) * width])
        d.sync()
        d.close()

    return free


def main(program, kind):
    before = own_processes()
    launcher = session.start_accessibility_bus()
    config = tempfile.mkdtemp(prefix="poroten-im-")
    os.environ["XDG_CONFIG_HOME"] = config
    im = InputMethod(kind, config)
    free_key = bind_spare_keycode(ZENKAKU_HANKAKU)
    result = {}
    try:
        im.start()
    except Unavailable as error:
        result = {"unavailable": str(error)}
    else:
        import harness
        try:
            play(harness, program, im, result)
        except Exception:
            result["error"] = traceback.format_exc()
        finally:
            im.stop()
    finally:
        free_key()
        launcher.terminate()
        launcher.wait()
        # Mozc's server and the input method's helpers outlive their parents.
        for pid in own_processes() - before - {os.getpid()}:
            try:
                os.kill(pid, 15)
            except OSError:
                pass
        shutil.rmtree(config, ignore_errors=True)
    print(json.dumps(result, ensure_ascii=False))


def other_windows(pid):
    """Geometry (x, y, w, h) of the mapped top-level windows not of process pid."""
    tree = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True,
                          text=True).stdout
    found = []
    for line in tree.splitlines():
        line = line.strip()
        if not line.startswith("0x"):
            continue
        window = int(line.split()[0], 16)
        info = subprocess.run(["xwininfo", "-id", str(window)], capture_output=True,
                              text=True).stdout
        fields = dict(part.strip().split(":", 1) for part in info.splitlines()
                      if ":" in part and not part.strip().startswith("xwininfo"))
        if fields.get("Map State", "").strip() != "IsViewable":
            continue
        owner = subprocess.run(["xdotool", "getwindowpid", str(window)], capture_output=True,
                               text=True).stdout.strip()
        if owner == str(pid):
            continue
        found.append([int(fields[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                              "Width", "Height")])
    return found


class NameBox:
    def __init__(self, harness, game):
        self.harness = harness
        frame = harness.wait_for("the name window",
                                 lambda: game._find_frame(harness.NAME_TITLE), 5.0)
        self.xid = harness.wait_for("the name window's X window",
                                    lambda: harness.x_windows(game.pid, harness.NAME_TITLE),
                                    3.0)[0]
        self.box = [a for a in harness.walk(frame) if harness.role_of(a) in ("text", "entry")][0]
        harness.focus(self.xid)

    def text(self):
        return self.box.queryText().getText(0, -1)

    def settled(self, seconds=0.6):
        """The box's text once the input method has had time to answer."""
        time.sleep(seconds)
        return self.text()

    def ink(self):
        """Dark pixels inside the box on screen: the composition is drawn there
        while the box's text stays empty."""
        x, y, w, h = self.harness.extents(self.box)
        shot = self.harness.Screenshot()
        return sum(1 for px in range(x + 3, x + w - 3) for py in range(y + 3, y + h - 4)
                   if sum(shot.rgb(px, py)) < 384)

    def switch_on(self):
        """Switches the input method on (Zenkaku_Hankaku) unless it already is;
        True once a typed letter stays in a composition."""
        for _ in range(3):
            before = self.text()
            self.harness.type_text("a")
            if self.settled() == before:
                self.harness.key("Escape")
                return self.settled() == before
            self.harness.key("BackSpace")
            self.settled(0.3)
            self.harness.key("Zenkaku_Hankaku")
            time.sleep(0.3)
        return False


def play(harness, program, im, seen):
    """One program run: two games to a new record each, the input method on."""
    game = harness.Game(program, env=im.env)
    try:
        game.start()
        # In the main window the input method is switched on, then a row is played.
        game.focus_main()
        harness.key("Zenkaku_Hankaku")
        time.sleep(0.3)
        missed = play_to_a_record(harness, game, 1)
        seen["first row scored"] = missed is None
        if missed:
            seen["first game"] = missed
            return

        # A name composed and converted: romaji to kana, Esc drops the composition,
        # Space converts, Enter commits, and only the next Enter is OK.
        name = NameBox(harness, game)
        seen["on in the name box"] = name.switch_on()
        seen["ink in the empty box"] = name.ink()
        harness.type_text("yamada")
        seen["box while composing"] = name.settled()
        seen["ink while composing"] = name.ink()
        seen["name box"] = list(harness.extents(name.box))
        seen["windows while composing"] = other_windows(game.pid)
        harness.key("Escape")
        seen["box after Esc"] = name.settled()
        seen["name window after Esc"] = game._find_frame(harness.NAME_TITLE) is not None
        harness.type_text("yamada")
        harness.key("space")
        harness.key("Return")
        time.sleep(0.6)
        seen["name window after the first Enter"] = \
            game._find_frame(harness.NAME_TITLE) is not None
        if not seen["name window after the first Enter"]:
            seen["record"] = game.score_file().hex(" ")
            return
        seen["box after the first Enter"] = name.text()
        harness.key("Return")
        seen["main window back"] = wait_quietly(
            harness, lambda: harness.x_map_state(game.main_xid) == "IsViewable")
        seen["record"] = game.score_file().hex(" ")

        # The second game is typed with the input method left as the name box
        # had it; the name window is then closed by its close box while composing.
        game.focus_main()
        missed = play_to_a_record(harness, game, 2)
        if missed:
            seen["second game"] = missed
            return
        name = NameBox(harness, game)
        seen["on in the second name box"] = name.switch_on()
        harness.type_text("yama")
        harness.key("Return")
        harness.type_text("da")
        seen["second box before closing"] = name.settled()
        # A second request if the first goes unanswered, counted: about one run
        # in ten, with either input method, has seen the first left without effect.
        seen["close requests"] = 0
        seen["main window back after closing"] = False
        while not seen["main window back after closing"] and seen["close requests"] < 2:
            harness.close_window(name.xid)
            seen["close requests"] += 1
            seen["main window back after closing"] = wait_quietly(
                harness, lambda: harness.x_map_state(game.main_xid) == "IsViewable", 3.0)
        seen["windows after closing"] = game.windows_shown()
        time.sleep(0.5)
        seen["running after closing"] = game.proc.poll() is None
        seen["record after closing"] = game.score_file().hex(" ")
    finally:
        log = game.output()
        if log:
            seen["program output"] = log[-2000:]
        game.close()


def play_to_a_record(harness, game, rows):
    """Enter, rows typed back, then a wrong key and its box closed. None when
    every row scored, else what the window said instead."""
    digits = game.start_game()
    for score in range(1, rows + 1):
        if score > 1:
            digits = game.digits()
        game.wait_answer_phase()
        game.type_answer(digits)
        if not wait_quietly(harness, lambda: game.text("Label5") == str(score)):
            return f"row {score} not scored: {game.text('Label6')}"
    digits = game.digits()
    game.wait_answer_phase()
    game.type_answer(str((int(digits[0]) + 1) % 10))
    game.wait_box().dismiss()
    return None


def wait_quietly(harness, probe, timeout=5.0):
    try:
        return bool(harness.wait_for("a state", probe, timeout))
    except harness.Timeout:
        return False


if __name__ == "__main__":
    main(*[a for a in sys.argv[1:] if a != "--inner"])
