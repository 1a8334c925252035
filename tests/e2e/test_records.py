"""A new best score: the name window, typing a name, and the score file's bytes."""

import harness
from e2e_case import GameCase, record_bytes
from game_facts import (BOXES, NAME_WINDOW, WRONG_KEY, control, high_score_lines,  # noqa: F401
                        menu_text)
from harness import MAIN_TITLE, NAME_TITLE, PRESS_RETURN, wait_for

OK = control(NAME_WINDOW, "OKButton")["text"]
CANCEL = control(NAME_WINDOW, "CancelButton")["text"]


class NameWindow:
    def __init__(self, game):
        self.game = game
        self.acc = wait_for("the name window", lambda: game._find_frame(NAME_TITLE), 5.0)
        self.xid = wait_for("the name window's X window",
                            lambda: harness.x_windows(game.pid, NAME_TITLE), 3.0)[0]
        nodes = list(harness.walk(self.acc))
        self.labels = [harness.name_of(a) for a in nodes if harness.role_of(a) == "label"]
        self.buttons = {harness.name_of(a): a for a in nodes
                        if harness.role_of(a) == "push button"}
        texts = [a for a in nodes if harness.role_of(a) in ("text", "entry")]
        assert len(texts) == 1, [harness.role_of(a) for a in nodes]
        self.text_box = texts[0]

    def text(self):
        return self.text_box.queryText().getText(0, -1)

    def type(self, text):
        harness.focus(self.xid)
        harness.type_text(text)
        try:
            wait_for("the name typed", lambda: self.text().endswith(text), 3.0)
        except harness.Timeout:
            raise AssertionError(f"the name box holds {self.text()!r} after typing {text!r}")

    def click_box(self):
        x, y, w, h = harness.extents(self.text_box)
        harness.click(x + w // 2, y + h // 2)

    def click(self, button):
        x, y, w, h = harness.extents(self.buttons[button])
        harness.click(x + w // 2, y + h // 2)


class NewRecord(GameCase):
    def reach_record(self, game, points=1):
        """Scores points, then a wrong key; returns the name window."""
        digits = game.start_game()
        for score in range(1, points + 1):
            digits = self.play_row(game, score)
        digits = game.digits()
        game.wait_answer_phase()
        game.type_answer(self.wrong_digit(digits[0]))
        box = game.wait_box()
        self.assertEqual(box.lines, [WRONG_KEY])
        box.dismiss()
        name_window = NameWindow(game)
        wait_for("the main window to hide",
                 lambda: harness.x_map_state(game.main_xid) != "IsViewable", 3.0)
        self.assertIsNone(game._find_frame(MAIN_TITLE), "main window still shown")
        return name_window

    def assert_main_window_back(self, game):
        wait_for("the main window back",
                 lambda: harness.x_map_state(game.main_xid) == "IsViewable", 3.0)
        wait_for("the name window gone", lambda: game._find_frame(NAME_TITLE) is None, 3.0)
        self.assertEqual(game.text("Label6"), PRESS_RETURN)

    def best_score_box(self, game):
        game.menu_item(menu_text("mnuFile"), menu_text("mnuFileHigh"))
        box = game.wait_box(BOXES["highScoreTitle"])
        lines = box.lines
        box.dismiss()
        return lines

    def test_ascii_name_typed_and_entered(self):
        game = self.launch()
        window = self.reach_record(game)
        self.assertEqual(window.labels, [control(NAME_WINDOW, "Label1")["text"]])
        self.assertEqual(sorted(window.buttons), sorted([OK, CANCEL]))
        self.assertEqual(window.text(), "")
        self.assertIn(harness.pyatspi.STATE_FOCUSED, harness.states(window.text_box),
                      "the name box should hold the focus")

        window.type("Ann")
        harness.key("Return")
        self.assert_main_window_back(game)
        self.assertEqual(game.score_file(), record_bytes(1, b"Ann"))
        self.assertEqual(self.best_score_box(game), high_score_lines("Ann", 1))

        # The record is read back by the next run.
        game.menu_item(menu_text("mnuFile"), menu_text("mnuFileExit"))
        self.assertEqual(game.proc.wait(5), 0)
        again = self.launch(folder=game.folder, binary=game.binary)
        self.assertEqual(self.best_score_box(again), high_score_lines("Ann", 1))

    def test_japanese_name_typed_and_ok_clicked(self):
        game = self.launch()
        window = self.reach_record(game)
        window.type("山田あ")
        self.assertEqual(window.text(), "山田あ")
        window.click(OK)
        self.assert_main_window_back(game)
        self.assertEqual(game.score_file(), record_bytes(1, bytes.fromhex("8E 52 93 63 82 A0")))
        self.assertEqual(self.best_score_box(game), high_score_lines("山田あ", 1))

    def test_cancel_clears_the_name_box(self):
        game = self.launch()
        window = self.reach_record(game)
        window.type("xyz")
        window.click(CANCEL)
        wait_for("the name box to empty", lambda: window.text() == "", 3.0)
        self.assertIsNotNone(game._find_frame(NAME_TITLE), "cancel closed the name window")
        self.assertEqual(game.score_file(), b"", "cancel saved something")
        window.click_box()  # the click on ｷｬﾝｾﾙ took the focus
        window.type("あ")
        harness.focus(window.xid)
        harness.key("Return")
        self.assert_main_window_back(game)
        self.assertEqual(game.score_file(), record_bytes(1, bytes.fromhex("82 A0")))

    def test_a_score_equal_to_the_record_asks_no_name(self):
        # Equal to the record is not a new record.
        seeded = record_bytes(1, "Bob".encode("cp932"))
        game = self.launch(seed_file=seeded)
        digits = game.start_game()
        self.play_row(game, 1)
        digits = game.digits()
        game.wait_answer_phase()
        game.type_answer(self.wrong_digit(digits[0]))
        game.wait_box().dismiss()
        game.wait_text("Label6", PRESS_RETURN)
        self.assertEqual(game.windows_shown(), [MAIN_TITLE])
        self.assertEqual(harness.x_map_state(game.main_xid), "IsViewable")
        self.assertEqual(game.score_file(), seeded)
        self.assertEqual(self.best_score_box(game), high_score_lines("Bob", 1))

    def test_name_is_stored_and_shown_as_typed_not_as_markup(self):
        game = self.launch()
        window = self.reach_record(game)
        name = "<b>A&amp;</b>"
        window.type(name)
        harness.key("Return")
        self.assert_main_window_back(game)
        self.assertEqual(game.score_file(), record_bytes(1, name.encode("ascii")))
        self.assertEqual(self.best_score_box(game), high_score_lines(name, 1))

    def test_name_with_extension_rows_and_characters_outside_code_page_932(self):
        game = self.launch()
        window = self.reach_record(game)
        # ① is an NEC special character, 髙 an IBM extension; 한 has no code here.
        window.type("①髙한x")
        harness.key("Return")
        self.assert_main_window_back(game)
        self.assertEqual(game.score_file(), record_bytes(1, bytes.fromhex("87 40 FB FC 3F 78")))
        # Read back by the next run as stored.
        game.menu_item(menu_text("mnuFile"), menu_text("mnuFileExit"))
        self.assertEqual(game.proc.wait(5), 0)
        again = self.launch(folder=game.folder, binary=game.binary)
        self.assertEqual(self.best_score_box(again), high_score_lines("①髙?x", 1))
