"""A real Japanese input method, IBus or Fcitx 5 with Mozc, switched on while
playing: the main window's digits and Enter still reach the game, and a name is
composed, converted and committed in the name window as players expect."""

import os
import shutil
import sys
import unittest

from e2e_case import GameCase, record_bytes, run_as_test_user, user_folder


@unittest.skipUnless(os.geteuid() == 0,
                     "needs root to become the test user: Mozc's server will not run as root")
class InputMethods(unittest.TestCase):
    def play(self, kind, daemon):
        if not shutil.which(daemon):
            self.skipTest(f"{daemon} is not installed (scripts/test-e2e.sh installs it)")
        folder = user_folder(self)
        shutil.copy2(GameCase.binary, folder)
        _, seen = run_as_test_user(self, folder, "im_user.py",
                                   os.path.join(folder, os.path.basename(GameCase.binary)),
                                   kind, timeout=300)
        self.assertNotIn("unavailable", seen)
        self.assertNotIn("error", seen, seen.get("error"))

        # Switched on in the main window, the input method takes none of its keys:
        # Enter started the game and the digits typed back scored.
        self.assertTrue(seen["first row scored"], seen)

        # The name box composes: romaji stays in a composition drawn inside the
        # box, Esc drops it and leaves the window open, Space converts, Enter
        # commits 山田, and only the next Enter saves it.
        self.assertTrue(seen["on in the name box"], seen)
        self.assertEqual(seen["box while composing"], "")
        self.assertGreater(seen["ink while composing"], seen["ink in the empty box"] + 20,
                           "the composition is not drawn inside the name box")
        self.assertEqual((seen["box after Esc"], seen["name window after Esc"]), ("", True))
        self.assertEqual(seen["box after the first Enter"], "山田", seen)
        self.assertTrue(seen["main window back"], seen)
        self.assertEqual(seen["record"], record_bytes(1, bytes.fromhex("8E 52 93 63")).hex(" "))

        # The input method draws its candidates beside the box, not in a corner.
        x, y, w, h = seen["name box"]
        beside = [c for c in seen["windows while composing"]
                  if x - 24 <= c[0] <= x + w and abs(c[1] - (y + h)) <= 24]
        self.assertTrue(beside, seen)

        # A second game typed with the input method left on in the shared state.
        self.assertNotIn("second game", seen)
        # Closed by its close box mid-composition: the committed やま is saved,
        # the open だ is not, and the program carries on.
        self.assertTrue(seen["on in the second name box"], seen)
        self.assertEqual(seen["second box before closing"], "やま")
        self.assertTrue(seen["main window back after closing"], seen)
        if seen["close requests"] > 1:
            print(f"\n{kind}: the name window closed on the second close request",
                  file=sys.stderr)
        self.assertTrue(seen["running after closing"], seen)
        self.assertEqual(seen["record after closing"],
                         record_bytes(2, "やま".encode("cp932")).hex(" "))

    def test_ibus_with_mozc(self):
        self.play("ibus", "ibus-daemon")

    def test_fcitx5_with_mozc(self):
        self.play("fcitx", "fcitx5")
