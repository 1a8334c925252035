#!/usr/bin/env python3
"""Two copies of poroten.exe in one folder under Wine, as when a player starts
the game twice. Copy A starts and reads the empty record; copy B starts, scores
2 and saves "B"; A, still holding the empty record it read, then scores 1. A
must ask for no name, B's record must stay byte for byte, and A's high-score
box must show B's record. No lock file may stay behind. Then a copy in
another folder, as a new release unzipped elsewhere, finds B's record in the
user's folder."""
import argparse
import os
import shutil
import subprocess
import sys

from smoke_test import (CELL_IDS, DIALOG_TITLE, HIGH_SCORE_TITLE, LABEL5, LABEL6, Failure,
                        Session, box_text, check, menu_keys, record_of)
from game_facts import (BOX_TITLE, FIRST_ROW, MAIN_TITLE, PRESS_RETURN, SCORE_FILE,
                        START, WRONG_KEY, high_score_lines)

B_RECORD = record_of(2, "B")


def digits_shown(s):
    texts = s.texts() or {}
    row = [texts.get(i, "") for i in CELL_IDS[:FIRST_ROW]]
    return row if all(len(d) == 1 and d.isdigit() for d in row) else None


def play_to(s, score, close_box=True):
    """Plays rows until the score is reached, then ends the game with a wrong key
    and, unless told not to, closes the box that says so."""
    s.keys(MAIN_TITLE, "Return")
    for done in range(score + 1):
        row = s.wait_for("row %d" % (done + 1), lambda: digits_shown(s), 15)
        s.wait_for("the answer phase", lambda: (s.texts() or {}).get(LABEL6) == START, 15)
        if done == score:
            s.keys(MAIN_TITLE, str((int(row[0]) + 1) % 10))
            break
        s.keys(MAIN_TITLE, *row)
        s.wait_for("score %d" % (done + 1),
                   lambda: (s.texts() or {}).get(LABEL5) == str(done + 1), 15)
    box = s.wait_for("the message box", lambda: s.probe(BOX_TITLE), 10)
    check(any(c["text"] == WRONG_KEY for c in box["children"].values()),
          "the game ends at %d with %s" % (score, WRONG_KEY))
    if close_box:
        s.keys(BOX_TITLE, "Return")


def launch(s, exe, folder):
    return subprocess.Popen(["wine", exe], cwd=folder, env=s.env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def high_score_box(s):
    s.keys(MAIN_TITLE, *menu_keys("mnuFile", "mnuFileHigh"))
    box = s.wait_for("the high score box", lambda: s.probe(HIGH_SCORE_TITLE), 10)
    texts = [c["text"] for c in box["children"].values()]
    s.keys(HIGH_SCORE_TITLE, "Return")
    s.wait_for("the box to close", lambda: s.probe(HIGH_SCORE_TITLE) is None, 10)
    return texts


def exit_game(s):
    s.keys(MAIN_TITLE, *menu_keys("mnuFile", "mnuFileExit"))


def run(s):
    s.forget_records()
    folder = os.path.join(s.work, "game")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    exe = os.path.join(folder, "poroten.exe")
    shutil.copy(s.args.exe, exe)
    record = os.path.join(folder, SCORE_FILE)

    copy_a = launch(s, exe, folder)
    s.wait_for("copy A's window", lambda: s.probe(MAIN_TITLE), 90)
    check(os.path.getsize(record) == 0, "copy A started and found no record")
    # A waits unseen while B is played, so that every look and key is B's.
    hidden = subprocess.run(["wine", s.args.probe, "--hide", MAIN_TITLE], env=s.env,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
    check(hidden.returncode == 0, "copy A's window put aside")
    handle = hidden.stdout.decode().strip()
    s.wait_for("copy A's window to go", lambda: s.probe(MAIN_TITLE) is None, 10)
    # Wine may keep a hidden window mapped, or reuse it: B's keys go only to
    # X windows that were not there before B started.
    s.others = s.xwindows(MAIN_TITLE)

    copy_b = launch(s, exe, folder)
    s.game = copy_b
    s.wait_for("copy B's window", lambda: s.probe(MAIN_TITLE), 90)
    play_to(s, 2)
    s.wait_for("copy B's name window", lambda: s.probe(DIALOG_TITLE), 10)
    s.type_text(DIALOG_TITLE, "B")
    s.keys(DIALOG_TITLE, "Return")
    s.wait_for("copy B's main window again", lambda: s.probe(MAIN_TITLE), 10)
    with open(record, "rb") as f:
        check(f.read() == B_RECORD, "copy B saved its record %s" % B_RECORD.hex(" "))
    exit_game(s)
    check(copy_b.wait(timeout=20) == 0, "copy B ended")

    s.game = copy_a
    s.others = set()
    subprocess.run(["wine", s.args.probe, "--show", handle], env=s.env, check=True, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    s.wait_for("copy A's window back", lambda: s.probe(MAIN_TITLE), 10)
    play_to(s, 1)
    s.wait_for("copy A's main window after the box",
               lambda: (s.texts() or {}).get(LABEL6) == PRESS_RETURN, 10)
    s.screenshot("copy-a-after-game")
    check(s.probe(DIALOG_TITLE) is None, "copy A, scoring 1 below B's 2, asks for no name")
    with open(record, "rb") as f:
        check(f.read() == B_RECORD, "B's record is kept byte for byte")

    texts = high_score_box(s)
    check(box_text(high_score_lines("B", 2)) in texts, "copy A's high score box shows B: %r" % texts)
    exit_game(s)
    check(copy_a.wait(timeout=20) == 0, "copy A ended")
    names = sorted(os.listdir(folder))
    check(names == sorted([SCORE_FILE, "poroten.exe"]), "no lock or temporary file left: %s" % names)
    user_folder = os.path.dirname(s.user_record)
    names = os.listdir(user_folder) if os.path.isdir(user_folder) else None
    check(names == [SCORE_FILE], "none in the user's folder either: %s" % names)
    with open(s.user_record, "rb") as f:
        check(f.read() == B_RECORD, "the user's folder holds B's record too")

    elsewhere = os.path.join(s.work, "elsewhere")
    shutil.rmtree(elsewhere, ignore_errors=True)
    os.makedirs(elsewhere)
    exe = os.path.join(elsewhere, "poroten.exe")
    shutil.copy(s.args.exe, exe)
    s.game = launch(s, exe, elsewhere)
    s.wait_for("the window of the copy elsewhere", lambda: s.probe(MAIN_TITLE), 90)
    check(os.path.getsize(os.path.join(elsewhere, SCORE_FILE)) == 0,
          "the copy elsewhere has no record of its own")
    texts = high_score_box(s)
    check(box_text(high_score_lines("B", 2)) in texts,
          "the copy elsewhere shows B's record from the user's folder: %r" % texts)
    exit_game(s)
    check(s.game.wait(timeout=20) == 0, "the copy elsewhere ended")


def run_on_a_display(run, doc, passed):
    """The entry point of a test that plays copies of the program on its own display."""
    parser = argparse.ArgumentParser(description=doc)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    args.in_place = False
    os.makedirs(args.work, exist_ok=True)
    s = Session(args)
    try:
        s.start_display()
        run(s)
        print(passed)
        return 0
    except Failure as failure:
        print("FAILED:", failure, file=sys.stderr)
        s.screenshot("failure")
        return 1
    finally:
        s.stop()


if __name__ == "__main__":
    sys.exit(run_on_a_display(run, __doc__, "two copies test passed"))
