"""The base of every end-to-end test: a fresh copy of the program per test."""

import os
import re
import struct
import unittest

from harness import Game, Screenshot


def record_bytes(score, name_cp932):
    return struct.pack("<hH", score, len(name_cp932)) + name_cp932 + struct.pack("<h", 2)


class GameCase(unittest.TestCase):
    binary = os.environ.get("POROTEN_BINARY", "")

    def launch(self, seed_file=None, folder=None, binary=None, env=None):
        """Starts the program; seed_file: bytes of m_score.sav to lay down first."""
        game = Game(binary or self.binary, folder=folder, env=env)
        self.addCleanup(self._finish, game)
        if seed_file is not None:
            with open(os.path.join(game.folder, "m_score.sav"), "wb") as f:
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
