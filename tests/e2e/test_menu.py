"""The menu bar: start, best score, About and quit."""

import harness
from e2e_case import GameCase, record_bytes
from game_facts import BOXES, FIRST_ROW, high_score_lines, menu_text
from harness import MEMORIZE, wait_for

ABOUT_LINES = BOXES["aboutText"].split("\r")


class MenuCommands(GameCase):
    def test_best_score_box_with_no_record(self):
        game = self.launch()
        game.menu_item(menu_text("mnuFile"), menu_text("mnuFileHigh"))
        box = game.wait_box(BOXES["highScoreTitle"])
        self.assertEqual(box.lines, high_score_lines("", 0))
        self.assertEqual(box.buttons, ["OK"])
        box.dismiss()

    def test_best_score_box_reads_the_score_file(self):
        game = self.launch(seed_file=record_bytes(7, bytes.fromhex("82A0")))
        game.menu_item(menu_text("mnuFile"), menu_text("mnuFileHigh"))
        box = game.wait_box(BOXES["highScoreTitle"])
        self.assertEqual(box.lines, high_score_lines("あ", 7))
        box.dismiss()

    def test_about_box(self):
        game = self.launch()
        game.menu_item(menu_text("mnuFileAbout"))
        box = game.wait_box(BOXES["aboutTitle"])
        self.assertEqual(box.lines, ABOUT_LINES)
        self.assertEqual(box.buttons, ["OK"])
        box.dismiss()
        game.press("alt+a")
        box = game.wait_box(BOXES["aboutTitle"])
        self.assertEqual(box.lines, ABOUT_LINES)
        box.dismiss()

    def test_start_from_the_menu(self):
        game = self.launch()
        game.menu_item(menu_text("mnuFile"), menu_text("mnuFileNew"))
        game.wait_text("Label6", MEMORIZE)
        self.assertEqual(len(game.digits()), FIRST_ROW)

    def test_exit_from_the_menu_ends_the_program(self):
        game = self.launch()
        game.menu_item(menu_text("mnuFile"), menu_text("mnuFileExit"))
        self.assertEqual(game.proc.wait(5), 0)

    def test_exit_by_access_keys_during_a_game(self):
        game = self.launch()
        game.start_game()
        game.wait_answer_phase()
        game.press("alt+f")
        wait_for("the File menu open", lambda: any(
            harness.name_of(a) == menu_text("mnuFileExit") and harness.showing(a)
            for a in harness.walk(game.main) if harness.role_of(a) == "menu item"), 3.0)
        harness.key("x")
        self.assertEqual(game.proc.wait(5), 0)
