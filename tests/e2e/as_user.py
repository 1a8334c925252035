#!/usr/bin/python3
"""Plays one game to a new record with an installed poroten, as whoever runs
it, and enters a name. test_install.py runs it as an unprivileged user inside
that user's own D-Bus session:

    dbus-run-session -- as_user.py --inner PROGRAM NAME [XDG_DATA_HOME]

Prints one JSON object: "exit" (the program's exit code after 終了) and
"box" (the lines of a message box that followed the name, or null).
"""

import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import session  # noqa: E402
from game_facts import menu_text  # noqa: E402


def main(program, name, data_home=None):
    launcher = session.start_accessibility_bus()
    import harness

    # Without XDG_DATA_HOME the user's data folder is wherever Qt finds it from HOME.
    game = harness.Game(program, folder=os.path.dirname(program),
                        env={"XDG_DATA_HOME": data_home})
    result = {}
    try:
        game.start()
        digits = game.start_game()
        game.wait_answer_phase()
        game.type_answer(digits)
        game.wait_text("Label5", "1")
        digits = game.digits()
        game.wait_answer_phase()
        game.type_answer(str((int(digits[0]) + 1) % 10))
        game.wait_box().dismiss()
        xid = harness.wait_for("the name window",
                               lambda: harness.x_windows(game.pid, harness.NAME_TITLE), 5.0)[0]
        harness.focus(xid)
        harness.type_text(name)
        harness.key("Return")
        try:
            box = game.wait_box(timeout=1.5)
        except harness.Timeout:
            result["box"] = None
        else:
            result["box"] = box.lines
            box.dismiss()
        harness.wait_for("the main window back",
                         lambda: harness.x_map_state(game.main_xid) == "IsViewable", 5.0)
        game.menu_item(menu_text("mnuFile"), menu_text("mnuFileExit"))
        result["exit"] = game.proc.wait(5)
    finally:
        game.close()
        launcher.terminate()
    print(json.dumps(result, ensure_ascii=False))


if __name__ == "__main__":
    main(*[a for a in sys.argv[1:] if a != "--inner"])
