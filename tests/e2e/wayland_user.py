#!/usr/bin/python3
"""Plays poroten on Wayland: a headless sway of its own, keys from wtype,
screenshots from grim, the labels through AT-SPI. Sway will not run as root,
so test_wayland.py runs this as the suite's unprivileged user inside that
user's own D-Bus session:

    dbus-run-session -- wayland_user.py --inner PROGRAM SCALE NAME

Prints one JSON object of what it saw (see play() for the keys).
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

SWAY_CONFIG = """\
xwayland disable
default_border none
default_floating_border none
output HEADLESS-1 resolution 1024x768
"""


class Sway:
    def __init__(self, runtime):
        self.runtime = runtime
        config = os.path.join(runtime, "sway.conf")
        with open(config, "w") as f:
            f.write(SWAY_CONFIG)
        self.log = open(os.path.join(runtime, "sway.log"), "wb")
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime, WLR_BACKENDS="headless",
                   WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman")
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        self.proc = subprocess.Popen(["sway", "-c", config], env=env, stdout=self.log,
                                     stderr=self.log)
        deadline = time.monotonic() + 20
        while True:
            sockets = [n for n in os.listdir(runtime) if n.startswith("sway-ipc.")]
            if sockets and os.path.exists(os.path.join(runtime, "wayland-1")):
                break
            if self.proc.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError("sway did not start: " + self.log_text())
            time.sleep(0.05)
        self.env = {"XDG_RUNTIME_DIR": runtime, "WAYLAND_DISPLAY": "wayland-1",
                    "SWAYSOCK": os.path.join(runtime, sockets[0])}
        os.environ.update(self.env)
        # The seat keeps this one keyboard for the whole run: a keyboard that
        # comes and goes with each wtype would reach the program only as releases.
        self.keyboard = subprocess.Popen(["wtype", "-s", "3600000", ""],
                                         stdout=self.log, stderr=self.log)
        time.sleep(0.3)

    def msg(self, *args):
        return json.loads(subprocess.run(["swaymsg", "-r", *args], check=True,
                                         capture_output=True, text=True).stdout)

    def window_of(self, pid):
        """The mapped window of process pid with its title and where it is."""
        def nodes(node):
            yield node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                yield from nodes(child)
        for node in nodes(self.msg("-t", "get_tree")):
            if node.get("pid") == pid and node.get("visible"):
                return node
        return None

    def log_text(self):
        self.log.flush()
        with open(os.path.join(self.runtime, "sway.log"), "rb") as f:
            return f.read().decode("utf-8", "replace")[-2000:]

    def stop(self):
        for proc in (self.keyboard, self.proc):
            proc.terminate()
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        self.log.close()


def wtype(*args):
    subprocess.run(["wtype", *args], check=True, capture_output=True)


class Shot:
    """The output as grim captures it, in its own pixels (scale times sway's)."""

    def __init__(self, scale):
        data = subprocess.run(["grim", "-t", "ppm", "-"], check=True,
                              capture_output=True).stdout
        header, self.pixels = data.split(b"\n", 3)[:3], data.split(b"\n", 3)[3]
        self.width, self.height = map(int, header[1].split())
        self.scale = scale

    def rgb(self, x, y):
        """The colour at sway's (logical) point x, y."""
        o = (int(y * self.scale) * self.width + int(x * self.scale)) * 3
        return list(self.pixels[o:o + 3])


def main(program, scale, name):
    launcher = session.start_accessibility_bus()
    runtime = tempfile.mkdtemp(prefix="poroten-wayland-")
    os.chmod(runtime, 0o700)
    result = {}
    sway = None
    try:
        sway = Sway(runtime)
        if scale != "1":
            sway.msg("output", "HEADLESS-1", "scale", scale)
        import harness
        play(harness, sway, program, float(scale), name, result)
    except Exception:
        result["error"] = traceback.format_exc()
        if sway:
            result["sway log"] = sway.log_text()
    finally:
        if sway:
            sway.stop()
        launcher.terminate()
        launcher.wait()
        shutil.rmtree(runtime, ignore_errors=True)
    print(json.dumps(result, ensure_ascii=False))


def play(harness, sway, program, scale, name, seen):
    """A window at rest, one row scored, a wrong digit, a name typed and saved."""
    game = harness.Game(program, env=dict(sway.env, QT_QPA_PLATFORM="wayland", DISPLAY=None))
    try:
        game.log = open(game.log_path, "wb")
        game.proc = subprocess.Popen([game.binary], cwd=game.root, env=game.env,
                                     stdout=game.log, stderr=subprocess.STDOUT)
        game.app = harness.find_app(game.pid)
        game._main = harness.wait_for("the main window",
                                      lambda: game._find_frame(harness.MAIN_TITLE), 10.0)
        window = harness.wait_for("the window mapped", lambda: sway.window_of(game.pid), 5.0)
        seen["title"] = window["name"]
        seen["floating"] = window["type"] == "floating_con"
        seen["rect"] = [window["rect"][k] for k in ("x", "y", "width", "height")]
        output = sway.msg("-t", "get_outputs")[0]
        seen["output scale"] = output["scale"]
        seen["output size"] = [output["rect"]["width"], output["rect"]["height"]]

        # Where the layout puts each label, with the texts and colours of a window at rest.
        seen["labels at rest"] = {n: game.text(n) for n in harness.LABEL_RECTS}
        seen["cells at rest"] = game.cells()
        x, y, w, h = seen["rect"]
        ox, oy = x, y + h - harness.CLIENT_SIZE[1]
        shot = Shot(scale)
        seen["shot size"] = [shot.width, shot.height]
        seen["cell colours"] = [shot.rgb(ox + harness.cell_rect(i)[0] + 3,
                                         oy + harness.cell_rect(i)[1] + 3)
                                for i in range(harness.CELL_COUNT)]
        seen["background"] = [shot.rgb(ox + 5, oy + 5), shot.rgb(ox + harness.CLIENT_SIZE[0] - 8, oy + harness.CLIENT_SIZE[1] - 7)]
        seen["label colours"] = {n: shot.rgb(ox + r[0] + 2, oy + r[1] + 2)
                                 for n, r in harness.LABEL_RECTS.items()}

        # A row read while it shows and typed back; then a wrong first digit.
        wtype("-k", "Return")
        game.wait_text("Label6", harness.MEMORIZE)
        digits = game.digits()
        game.wait_answer_phase()
        wtype("-d", "30", digits)
        game.wait_text("Label5", "1")
        seen["row scored"] = True
        digits = game.digits()
        game.wait_answer_phase()
        wtype(str((int(digits[0]) + 1) % 10))
        box = game.wait_box()
        seen["box"] = box.lines
        wtype("-k", "Return")
        harness.wait_for("the box to close", lambda: not game.boxes(), 5.0)

        harness.wait_for("the name window", lambda: game._find_frame(harness.NAME_TITLE), 5.0)
        time.sleep(0.3)
        wtype("-d", "30", name)
        wtype("-k", "Return")
        harness.wait_for("the name window to close",
                         lambda: game._find_frame(harness.NAME_TITLE) is None, 5.0)
        seen["record"] = game.score_file().hex(" ")
        seen["best"] = game.text("Label5")
    finally:
        log = game.output()
        if log:
            seen["program output"] = log[-2000:]
        game.close()


if __name__ == "__main__":
    main(*[a for a in sys.argv[1:] if a != "--inner"])
