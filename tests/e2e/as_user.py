#!/usr/bin/python3
"""Plays one game to a new record with an installed poroten, as whoever runs
it, and leaves the record under that user's name. test_install.py runs it as
an unprivileged user inside that user's own D-Bus session.

    dbus-run-session -- as_user.py --inner PROGRAM NAME

Prints "recorded" when the name window took the name and the program ended.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import session  # noqa: E402


def main(program, name):
    launcher = session.start_accessibility_bus()
    import harness

    # The user's own data folder is wherever Qt finds it from HOME.
    game = harness.Game(program, folder=os.path.dirname(program),
                        env={"XDG_DATA_HOME": None})
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
        title = harness.NAME_TITLE
        xid = harness.wait_for("the name window",
                               lambda: harness.x_windows(game.pid, title), 5.0)[0]
        harness.focus(xid)
        harness.type_text(name)
        harness.key("Return")
        harness.wait_for("the main window back",
                         lambda: harness.x_map_state(game.main_xid) == "IsViewable", 5.0)
        game.menu_item("ファイル(F)", "終了(X)")
        code = game.proc.wait(5)
        print("recorded" if code == 0 else f"exit code {code}")
        if code != 0:
            print(game.output())
    finally:
        game.close()
        launcher.terminate()


if __name__ == "__main__":
    args = [a for a in sys.argv[1:] if a != "--inner"]
    main(*args)
