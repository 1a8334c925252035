"""The main window and the game cycle, played with X key events."""

import time

import harness
from e2e_case import GameCase, timed_to_the_tick
from game_facts import (BOX_TITLE, CELL_COUNT, FACTS, FIRST_ROW, MAIN, MAIN_TITLE, MENU_ENTRIES,
                        TIME_UP, TIMING, WRONG_KEY, menu_text)

MEMORIZE_COUNT = [str(n) for n in range(TIMING["memorizeSeconds"], 0, -1)]
ANSWER_COUNT = [str(n) for n in range(TIMING["answerSeconds"], 0, -1)]
TICK = TIMING["tickMs"] / 1000
from harness import CYAN, MEMORIZE, PRESS_RETURN, START, TEAL, Screenshot, row_colours


def watch(game, name, until, timeout):
    """Each distinct text label name shows, with when it appeared, until until(text)."""
    seen = [(time.monotonic(), game.text(name))]
    deadline = time.monotonic() + timeout
    while not until(seen[-1][1]):
        if time.monotonic() > deadline:
            raise AssertionError(f"{name} went {[t for _, t in seen]} and stopped")
        text = game.text(name)
        if text != seen[-1][1]:
            seen.append((time.monotonic(), text))
        time.sleep(0.01)
    return seen


class WindowAtRest(GameCase):
    def test_title_labels_colours_and_menus(self):
        game = self.launch()
        self.assertEqual(harness.name_of(game.main), MAIN_TITLE)
        self.assertEqual(harness.xdotool("getwindowname", game.main_xid).strip(), MAIN_TITLE)
        x, y, w, h = game.main_extents()
        self.assertEqual(w, harness.CLIENT_SIZE[0], "client width")

        self.assertEqual(game.cells(), [""] * CELL_COUNT)
        self.assertEqual({n: game.text(n) for n in harness.LABEL_RECTS},
                         {n: MAIN["controls"][n]["text"] for n in harness.LABEL_RECTS})

        shot = Screenshot()
        self.assertEqual(game.cell_colours(shot), row_colours())
        ox, oy = game.client_origin()
        cw, ch = harness.CLIENT_SIZE
        self.assertEqual(shot.rgb(ox + 5, oy + 5), TEAL, "window background")
        self.assertEqual(shot.rgb(ox + cw - 8, oy + ch - 7), TEAL, "window background, far corner")
        self.assertEqual(game.label_colour("Label6", shot), TEAL)
        for name in ("Label2", "Label3", "Label4", "Label5"):
            self.assertEqual(game.label_colour(name, shot), CYAN, name)

        bar = [harness.name_of(a) for a in harness.walk(game.main)
               if harness.role_of(a) == "menu item"]
        self.assertEqual(bar, [menu_text(entry["name"]) for entry in MENU_ENTRIES])

    def test_empty_score_file_is_created_beside_the_program(self):
        game = self.launch()
        self.assertEqual(game.score_file(), b"")


class GameCycle(GameCase):
    @timed_to_the_tick
    def test_enter_shows_three_digits_for_three_ticks_then_the_answer_phase(self):
        game = self.launch()
        game.press("Return")
        game.wait_text("Label6", MEMORIZE)
        cells = game.cells()
        self.assertTrue(all(c.isdigit() and len(c) == 1 for c in cells[:FIRST_ROW]), cells)
        self.assertEqual(cells[FIRST_ROW:], [""] * (CELL_COUNT - FIRST_ROW))
        self.assertEqual(game.text("Label3"), MEMORIZE_COUNT[0])
        self.assertEqual(game.text("Label5"), "0")
        self.assertEqual(game.cell_colours(), row_colours(FIRST_ROW))

        seen = watch(game, "Label3", lambda t: t == ANSWER_COUNT[0], TICK * 6)
        self.assertEqual([t for _, t in seen], MEMORIZE_COUNT + ANSWER_COUNT[:1])
        gaps = [b[0] - a[0] for a, b in zip(seen, seen[1:])]
        for gap in gaps[1:]:  # the first was caught an unknown time after it began
            self.assertAlmostEqual(gap, TICK, delta=0.25, msg=f"tick gaps {gaps}")
        self.assertEqual(game.text("Label6"), START)
        self.assertEqual(game.cells(), [""] * CELL_COUNT)
        self.assertEqual(game.cell_colours(), row_colours(FIRST_ROW))

    def test_typing_the_row_back_scores_and_shows_a_new_row(self):
        game = self.launch()
        digits = game.start_game()
        self.assertEqual(len(digits), FIRST_ROW)
        game.wait_answer_phase()

        game.type_answer(digits[0])
        game.wait_text("Label1(0)", digits[0])
        game.wait_cell_colours(row_colours(FIRST_ROW, 1))
        game.type_answer(digits[1])
        game.wait_text("Label1(1)", digits[1])
        game.wait_cell_colours(row_colours(FIRST_ROW, 2))
        self.assertEqual(game.cells()[2:], [""] * (CELL_COUNT - 2))
        self.assertEqual(game.text("Label5"), "0")

        game.type_answer(digits[2])
        game.wait_text("Label5", "1")
        self.assertEqual(game.text("Label3"), MEMORIZE_COUNT[0])
        self.assertEqual(game.text("Label6"), MEMORIZE)
        row = game.cells()
        self.assertTrue(all(c.isdigit() for c in row[:FIRST_ROW]), row)
        self.assertEqual(row[FIRST_ROW:], [""] * (CELL_COUNT - FIRST_ROW))
        game.wait_cell_colours(row_colours(FIRST_ROW))

        self.play_row(game, 2)
        self.assertEqual(game.text("Label6"), MEMORIZE)

    def test_keypad_enter_keypad_digits_and_full_width_digits(self):
        game = self.launch()
        game.press("KP_Enter")
        game.wait_text("Label6", MEMORIZE)
        digits = game.digits()
        game.wait_answer_phase()
        game.press(f"KP_{digits[0]}")
        game.wait_text("Label1(0)", digits[0])
        # As an input method hands them over: U+FF10..U+FF19.
        harness.type_text(chr(0xFF10 + int(digits[1])))
        game.wait_text("Label1(1)", digits[1])
        harness.type_text(chr(0xFF10 + int(digits[2])))
        game.wait_text("Label5", "1")
        self.assertEqual(game.boxes(), [])

    def test_wrong_digit_ends_the_game_other_keys_do_not(self):
        game = self.launch()
        digits = game.start_game()
        # Keys typed while the row shows are not answers.
        game.type_answer(self.wrong_digit(digits[0]))
        game.wait_answer_phase()
        self.assertEqual(game.boxes(), [])

        game.type_answer("a")
        game.press("space")
        game.type_answer(digits[0])
        game.wait_text("Label1(0)", digits[0])
        self.assertEqual(game.boxes(), [], "a letter or a space ended the game")

        game.type_answer(self.wrong_digit(digits[1]))
        box = game.wait_box()
        self.assertEqual(box.title, BOX_TITLE)
        self.assertEqual(box.lines, [WRONG_KEY])
        self.assertEqual(box.buttons, ["OK"])
        box.dismiss()

        game.wait_text("Label6", PRESS_RETURN)
        self.assertEqual(game.cells(), [""] * CELL_COUNT)
        game.wait_cell_colours(row_colours())
        self.assertEqual(game.text("Label5"), "0")
        self.assertEqual(game.windows_shown(), [MAIN_TITLE], "no name window for 0 points")
        # Digits at rest are not answers either.
        game.type_answer(digits)
        time.sleep(0.3)
        self.assertEqual(game.boxes(), [])
        self.assertEqual(game.cells(), [""] * CELL_COUNT)

    @timed_to_the_tick
    def test_five_ticks_without_an_answer_end_the_game(self):
        game = self.launch()
        digits = game.start_game()
        game.wait_answer_phase()
        began = time.monotonic()
        game.type_answer(digits[0])
        box = game.wait_box(timeout=TICK * TIMING["answerSeconds"] + 2)
        waited = time.monotonic() - began
        self.assertAlmostEqual(waited, TICK * TIMING["answerSeconds"], delta=0.6)
        self.assertEqual(box.lines, [TIME_UP])
        self.assertEqual(box.title, BOX_TITLE)
        box.dismiss()
        game.wait_text("Label6", PRESS_RETURN)
        self.assertEqual(game.cells(), [""] * CELL_COUNT)
        game.wait_cell_colours(row_colours())

    def test_enter_during_the_answer_phase_starts_afresh(self):
        game = self.launch()
        game.start_game()
        self.play_row(game, 1)
        digits = game.digits()
        game.wait_answer_phase()
        game.type_answer(digits[0])
        game.wait_cell_colours(row_colours(FIRST_ROW, 1))

        game.press("Return")
        game.wait_text("Label6", MEMORIZE)
        self.assertEqual(game.text("Label5"), "0")
        self.assertEqual(game.text("Label3"), MEMORIZE_COUNT[0])
        row = game.cells()
        self.assertTrue(all(c.isdigit() for c in row[:FIRST_ROW]), row)
        self.assertEqual(row[FIRST_ROW:], [""] * (CELL_COUNT - FIRST_ROW))
        game.wait_cell_colours(row_colours(FIRST_ROW))

        # The old answer countdown must not tick on under the new game.
        seen = watch(game, "Label3", lambda t: t == ANSWER_COUNT[1], TICK * 7)
        self.assertEqual([t for _, t in seen], MEMORIZE_COUNT + ANSWER_COUNT[:2])
        self.assertEqual(game.boxes(), [])
        game.type_answer("".join(row[:FIRST_ROW]))
        game.wait_text("Label5", "1")

    def test_the_tenth_point_adds_a_cell(self):
        game = self.launch()
        game.start_game()
        every = FACTS["cells"]["pointsPerNewCell"]
        for score in range(1, every + 1):
            digits = self.play_row(game, score)
            self.assertEqual(len(digits), FIRST_ROW, f"row {score}")
        row = game.cells()
        self.assertTrue(all(c.isdigit() for c in row[:FIRST_ROW + 1]), row)
        self.assertEqual(row[FIRST_ROW + 1:], [""] * (CELL_COUNT - FIRST_ROW - 1))
        self.play_row(game, every + 1)
