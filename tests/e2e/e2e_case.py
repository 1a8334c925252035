"""The base of every end-to-end test: a fresh copy of the program per test."""

import fcntl
import glob
import json
import os
import pwd
import re
import shutil
import subprocess
import tempfile
import unittest

import game_facts
from game_facts import SCORE_FILE, record_bytes  # noqa: F401
from harness import Game, Screenshot


HERE = os.path.dirname(os.path.abspath(__file__))
TEST_USER = "porotentest"


def user_folder(test):
    """A folder the unprivileged test user can read, holding the suite's scripts
    whatever guards the work tree; removed after the test."""
    folder = tempfile.mkdtemp(prefix="poroten-e2e-user-")
    test.addCleanup(shutil.rmtree, folder, True)
    os.chmod(folder, 0o755)
    for script in glob.glob(os.path.join(HERE, "*.py")) + [game_facts.__file__]:
        shutil.copy(script, folder)
    shutil.copy(os.environ["POROTEN_FACTS"], os.path.join(folder, "game_facts.json"))
    return folder


# Suites run side by side: whoever plays as the test user holds this lock
# until its test ends, so that no two share that user's home and sessions.
TEST_USER_LOCK = "/tmp/poroten-test-user.lock"


def unprivileged_account(test):
    """The unprivileged test user's account, added when missing, held for the
    rest of the test."""
    if not getattr(test, "_test_user_lock", None):
        lock = open(TEST_USER_LOCK, "a")
        fcntl.flock(lock, fcntl.LOCK_EX)
        test._test_user_lock = lock
        test.addCleanup(lock.close)
    try:
        return pwd.getpwnam(TEST_USER)
    except KeyError:
        subprocess.run(["useradd", "--create-home", "--shell", "/bin/sh", TEST_USER],
                       check=True)
        return pwd.getpwnam(TEST_USER)


def run_as_test_user(test, folder, script, *args, timeout=120):
    """Runs folder/script as the test user (added when missing) in a D-Bus session
    of its own on this display; returns (the account, the JSON object it printed)."""
    account = unprivileged_account(test)
    env = {"HOME": account.pw_dir, "USER": TEST_USER, "LOGNAME": TEST_USER,
           "LANG": "C.UTF-8", "PATH": "/usr/local/bin:/usr/bin:/bin",
           "DISPLAY": os.environ["DISPLAY"]}
    run = subprocess.run(
        ["runuser", "-u", TEST_USER, "--", "env", "-i", *[f"{k}={v}" for k, v in env.items()],
         "dbus-run-session", "--", "/usr/bin/python3", os.path.join(folder, script), "--inner",
         *args], capture_output=True, text=True, timeout=timeout)
    lines = [line for line in run.stdout.splitlines() if line.startswith("{")]
    test.assertTrue(lines, run.stdout + run.stderr[-3000:])
    return account, json.loads(lines[-1])


def timed_to_the_tick(test):
    """Marks a test that times the game's ticks against the wall clock: it runs
    with the machine to itself (run_e2e.py --timed), the others beside other work."""
    test.timed_to_the_tick = True
    return test


class GameCase(unittest.TestCase):
    binary = os.environ.get("POROTEN_BINARY", "")

    def launch(self, seed_file=None, folder=None, binary=None, env=None, ignoring=()):
        """Starts the program; seed_file: bytes of m_score.sav to lay down first;
        ignoring: signals it starts with ignored."""
        game = Game(binary or self.binary, folder=folder, env=env, ignoring=ignoring)
        self.addCleanup(self._finish, game)
        if seed_file is not None:
            with open(os.path.join(game.folder, SCORE_FILE), "wb") as f:
                f.write(seed_file)
        return game.start()

    def _finish(self, game):
        shots = os.environ.get("POROTEN_E2E_SHOTS")
        if shots:
            os.makedirs(shots, exist_ok=True)
            stem = re.sub(r"[^A-Za-z0-9_.]", "_", self.id())
            Screenshot().save_png(os.path.join(shots, stem + ".png"))
            with open(os.path.join(shots, stem + ".log"), "w") as f:
                f.write(game.output())
        game.close()

    def play_row(self, game, expected_score):
        """Reads the row while it shows, waits for the answer phase and types it back."""
        digits = game.digits()
        game.wait_answer_phase()
        game.type_answer(digits)
        game.wait_text("Label5", str(expected_score))
        return digits

    def wrong_digit(self, digit):
        return str((int(digit) + 1) % 10)
