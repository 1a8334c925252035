#!/usr/bin/env python3
"""The Windows session ends (wineboot --end-session, as a log-off does) while
poroten.exe runs under Wine. With the name window open and a name partly
typed, the record is kept with that name, beside the program and in the
user's folder, before the process is ended. With no name window open (a game
running), nothing is written. At the box that ends a game with a new record,
before the name window has opened, the record is kept with no name and no
name window opens. Wine ends the process itself once its windows have
answered."""
import os
import shutil
import subprocess
import sys

from smoke_test import DIALOG_TITLE, Failure, check, record_of
from two_copies_test import digits_shown, launch, play_to, run_on_a_display
from game_facts import MAIN_TITLE, NAME_WINDOW, SCORE_FILE, control

TEXT1 = control(NAME_WINDOW, "Text1")["id"]  # the name box
PARTIAL_NAME = "Par"


def end_session(s, game, what):
    run = subprocess.run(["wineboot", "--end-session"], env=s.env, stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    check(run.returncode == 0, "wineboot --end-session %s" % what)
    try:
        game.wait(timeout=30)
    except subprocess.TimeoutExpired:
        raise Failure("the program outlived the end of the session")
    check(True, "the session's end ended the program")


def files_in(folder):
    return {name: open(os.path.join(folder, name), "rb").read() for name in os.listdir(folder)}


def run(s):
    s.forget_records()
    folder = os.path.join(s.work, "game")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    exe = os.path.join(folder, "poroten.exe")
    shutil.copy(s.args.exe, exe)
    user_folder = os.path.dirname(s.user_record)

    s.game = launch(s, exe, folder)
    s.wait_for("the main window", lambda: s.probe(MAIN_TITLE), 90)
    play_to(s, 1)
    s.wait_for("the name window", lambda: s.probe(DIALOG_TITLE), 10)
    s.type_text(DIALOG_TITLE, PARTIAL_NAME)
    s.wait_for("the name typed so far",
               lambda: ((s.texts(DIALOG_TITLE) or {}).get(TEXT1) == PARTIAL_NAME), 10)
    check(s.probe(MAIN_TITLE) is None, "the main window is hidden behind the name window")
    end_session(s, s.game, "with the name window open")
    expected = record_of(1, PARTIAL_NAME)
    check(files_in(folder) == {"poroten.exe": open(exe, "rb").read(), SCORE_FILE: expected},
          "beside the program: the record with the name typed so far, nothing else")
    check(files_in(user_folder) == {SCORE_FILE: expected},
          "in the user's folder: the same record, nothing else")

    before = {path: (os.stat(path).st_mtime_ns, open(path, "rb").read())
              for path in (os.path.join(folder, SCORE_FILE), s.user_record)}
    s.game = launch(s, exe, folder)
    s.wait_for("the main window", lambda: s.probe(MAIN_TITLE), 90)
    s.keys(MAIN_TITLE, "Return")
    s.wait_for("a game", lambda: digits_shown(s), 15)
    end_session(s, s.game, "during a game")
    after = {path: (os.stat(path).st_mtime_ns, open(path, "rb").read()) for path in before}
    check(after == before, "no name window: neither record was written")
    check(sorted(os.listdir(folder)) == sorted([SCORE_FILE, "poroten.exe"])
          and os.listdir(user_folder) == [SCORE_FILE], "no lock or temporary file left")

    s.game = launch(s, exe, folder)
    s.wait_for("the main window", lambda: s.probe(MAIN_TITLE), 90)
    play_to(s, 2, close_box=False)
    check(s.probe(DIALOG_TITLE) is None, "the box of a new record is open, the name window not yet")
    end_session(s, s.game, "with the box of a new record open")
    # Written over the start of the record it beats, whose tail stays.
    record = record_of(2, "")
    kept = {SCORE_FILE: record + expected[len(record):]}
    found = [files_in(folder), files_in(user_folder)]
    found[0].pop("poroten.exe", None)
    check(found == [kept, kept],
          "in both places: the new record with no name, nothing else: %r" % found)


if __name__ == "__main__":
    sys.exit(run_on_a_display(run, __doc__, "session end test passed"))
