"""The menu bar: start, best score, About and quit."""

import harness
from e2e_case import GameCase, record_bytes
from harness import MEMORIZE, wait_for

ABOUT_LINES = ["ポロテン　　Ver 1.0", "", "制作　poroten project", "",
               "URL：https://poroten.example/"]


class MenuCommands(GameCase):
    def test_best_score_box_with_no_record(self):
        game = self.launch()
        game.menu_item("ファイル(F)", "ハイスコア(H)")
        box = game.wait_box("ハイスコア")
        self.assertEqual(box.lines, ["現在の最高得点は", "さん　0点"])
        self.assertEqual(box.buttons, ["OK"])
        box.dismiss()

    def test_best_score_box_reads_the_score_file(self):
        game = self.launch(seed_file=record_bytes(7, bytes.fromhex("82A0")))
        game.menu_item("ファイル(F)", "ハイスコア(H)")
        box = game.wait_box("ハイスコア")
        self.assertEqual(box.lines, ["現在の最高得点は", "あさん　7点"])
        box.dismiss()

    def test_about_box(self):
        game = self.launch()
        game.menu_item("バージョン情報(A)")
        box = game.wait_box("バージョン情報")
        self.assertEqual(box.lines, ABOUT_LINES)
        self.assertEqual(box.buttons, ["OK"])
        box.dismiss()
        game.press("alt+a")
        box = game.wait_box("バージョン情報")
        self.assertEqual(box.lines, ABOUT_LINES)
        box.dismiss()

    def test_start_from_the_menu(self):
        game = self.launch()
        game.menu_item("ファイル(F)", "始める(N)")
        game.wait_text("Label6", MEMORIZE)
        self.assertEqual(len(game.digits()), 3)

    def test_exit_from_the_menu_ends_the_program(self):
        game = self.launch()
        game.menu_item("ファイル(F)", "終了(X)")
        self.assertEqual(game.proc.wait(5), 0)

    def test_exit_by_access_keys_during_a_game(self):
        game = self.launch()
        game.start_game()
        game.wait_answer_phase()
        game.press("alt+f")
        wait_for("the File menu open", lambda: any(
            harness.name_of(a) == "終了(X)" and harness.showing(a)
            for a in harness.walk(game.main) if harness.role_of(a) == "menu item"), 3.0)
        harness.key("x")
        self.assertEqual(game.proc.wait(5), 0)
