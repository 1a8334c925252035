"""The game on Wayland, in a headless sway: the window maps with its layout
and colours, a row scores, a wrong digit ends the game and a name is saved;
at output scale 1 and 2."""

import os
import shutil
import unittest

from e2e_case import GameCase, record_bytes, run_as_test_user, user_folder
from game_facts import CELL_COUNT, MAIN, MAIN_TITLE, WRONG_KEY
from harness import CLIENT_SIZE, LABEL_RECTS, TEAL, row_colours


@unittest.skipUnless(os.geteuid() == 0, "needs root to become the test user: sway will not "
                                         "run as root")
class Wayland(unittest.TestCase):
    def play(self, scale):
        for tool in ("sway", "wtype", "grim"):
            if not shutil.which(tool):
                self.skipTest(f"{tool} is not installed (scripts/test-e2e.sh installs it)")
        folder = user_folder(self)
        shutil.copy2(GameCase.binary, folder)
        name = "Wayあ"
        _, seen = run_as_test_user(self, folder, "wayland_user.py",
                                   os.path.join(folder, os.path.basename(GameCase.binary)),
                                   str(scale), name, timeout=180)
        self.assertNotIn("error", seen, f"{seen.get('error')}\n{seen.get('sway log')}\n"
                                        f"{seen.get('program output')}")

        self.assertEqual(seen["output scale"], scale)
        # The output's 1024 x 768 pixels, scale times sway's points each way.
        self.assertEqual(seen["output size"], [1024 // scale, 768 // scale])
        self.assertEqual(seen["shot size"], [1024, 768])
        self.assertEqual(seen["title"], MAIN_TITLE)
        # A window of fixed size floats at its own size: no tiling stretches it.
        self.assertTrue(seen["floating"], seen)
        self.assertEqual(seen["rect"][2], CLIENT_SIZE[0], seen)
        self.assertEqual(seen["labels at rest"],
                         {n: MAIN["controls"][n]["text"] for n in LABEL_RECTS})
        self.assertEqual(seen["cells at rest"], [""] * CELL_COUNT)
        self.assertEqual(seen["cell colours"], [list(c) for c in row_colours()])
        self.assertEqual(seen["background"], [list(TEAL)] * 2)
        self.assertEqual(seen["label colours"],
                         {n: MAIN["controls"][n]["back"] for n in LABEL_RECTS})

        self.assertTrue(seen.get("row scored"), seen)
        self.assertEqual(seen["box"], [WRONG_KEY])
        self.assertEqual(seen["record"], record_bytes(1, name.encode("cp932")).hex(" "), seen)

    def test_scale_1(self):
        self.play(1)

    def test_scale_2(self):
        self.play(2)
