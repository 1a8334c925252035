"""A record is never lost: two copies at once, a full disk, a link in the
record's place, an installed copy run as root."""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

import harness
from e2e_case import GameCase, record_bytes
from game_facts import (MAIN_TITLE, RECORD, SAVE_FAILED, SCORE_FILE, high_score_lines,
                        menu_text)
from harness import PRESS_RETURN
from test_records import NewRecord

NO_SPACE = "No space left on device"


def replace_file(path, content):
    """What another copy's save does: a new file renamed over the old one."""
    with open(path + ".other", "wb") as f:
        f.write(content)
    os.rename(path + ".other", path)


class RecordKept(GameCase):
    reach_record = NewRecord.reach_record
    assert_main_window_back = NewRecord.assert_main_window_back

    def best_score_box(self, game):
        # Two copies' windows lie one over the other: the menu is clicked on top.
        harness.xdotool("windowraise", game.main_xid)
        return NewRecord.best_score_box(self, game)

    def end_without_record(self, game, points):
        """Scores points, then a wrong key, and expects no name window."""
        digits = game.start_game()
        for score in range(1, points + 1):
            digits = self.play_row(game, score)
        digits = game.digits()
        game.wait_answer_phase()
        game.type_answer(self.wrong_digit(digits[0]))
        game.wait_box().dismiss()
        game.wait_text("Label6", PRESS_RETURN)
        self.assertEqual(game.windows_shown(), [MAIN_TITLE])

    def test_two_copies_in_one_folder_never_overwrite_the_better_record(self):
        first = self.launch()
        second = self.launch(folder=first.folder, binary=first.binary)
        # Both read the empty file; the second scores 2 and saves.
        window = self.reach_record(second, points=2)
        window.type("B")
        harness.key("Return")
        self.assert_main_window_back(second)
        bob = record_bytes(2, b"B")
        self.assertEqual(first.score_file(), bob)

        # The first, still holding the empty record it read at start, scores 1:
        # no name window, and its best-score box now names B.
        self.end_without_record(first, 1)
        self.assertEqual(first.score_file(), bob)
        self.assertEqual(self.best_score_box(first), high_score_lines("B", 2))

        # It scores 3; while its name window is open, a third copy saves 5.
        window = self.reach_record(first, points=3)
        carol = record_bytes(5, b"C")
        replace_file(os.path.join(first.folder, SCORE_FILE), carol)
        window.type("A")
        harness.key("Return")
        self.assert_main_window_back(first)
        self.assertEqual(first.score_file(), carol)
        self.assertEqual(self.best_score_box(first), high_score_lines("C", 5))
        self.assertEqual(self.best_score_box(second), high_score_lines("C", 5))
        self.assertEqual(sorted(os.listdir(first.folder)), [SCORE_FILE, "poroten"])

    def test_a_signal_mid_name_keeps_the_name_typed_so_far_and_at_rest_writes_nothing(self):
        # Log-out, shut-down or systemd send SIGTERM; a closed terminal SIGHUP.
        for sig, name in ((signal.SIGTERM, "Te"), (signal.SIGHUP, "Hu")):
            game = self.launch()
            window = self.reach_record(game)
            window.type(name)
            game.proc.send_signal(sig)
            self.assertEqual(game.proc.wait(5), 0)
            expected = record_bytes(1, name.encode())
            self.assertEqual(game.score_file(), expected)
            self.assertEqual(game.score_file(os.path.join(game.data_home, RECORD["dataFolder"])), expected)
        rest = self.launch()
        rest.proc.send_signal(signal.SIGTERM)
        self.assertEqual(rest.proc.wait(5), 0)
        self.assertEqual(rest.score_file(), b"")

    def test_a_signal_at_the_end_of_game_box_of_a_new_record_keeps_it_and_ends(self):
        # The record is earned as the box opens; nobody may be there to close it.
        game = self.launch()
        game.start_game()
        self.play_row(game, 1)
        digits = game.digits()
        game.wait_answer_phase()
        game.type_answer(self.wrong_digit(digits[0]))
        game.wait_box()
        started = time.monotonic()
        game.proc.send_signal(signal.SIGTERM)
        self.assertEqual(game.proc.wait(5), 0)
        self.assertLess(time.monotonic() - started, 3.0)
        expected = record_bytes(1, b"")
        self.assertEqual(game.score_file(), expected)
        self.assertEqual(game.score_file(os.path.join(game.data_home, RECORD["dataFolder"])), expected)

    def test_a_hangup_ignored_at_start_stays_ignored(self):
        # Started under nohup: closing the terminal must not end the game.
        game = self.launch(ignoring=(signal.SIGHUP,))
        game.start_game()
        game.proc.send_signal(signal.SIGHUP)
        self.play_row(game, 1)
        self.assertIsNone(game.proc.poll())
        game.proc.send_signal(signal.SIGTERM)
        self.assertEqual(game.proc.wait(5), 0)

    def test_a_copy_unpacked_in_another_folder_finds_the_record(self):
        # A new release or a rebuilt build folder: the user's folder holds the record too.
        first = self.launch()
        window = self.reach_record(first, points=2)
        window.type("Ann")
        harness.key("Return")
        self.assert_main_window_back(first)
        first.menu_item(menu_text("mnuFile"), menu_text("mnuFileExit"))
        self.assertEqual(first.proc.wait(5), 0)
        elsewhere = self.launch(env={"XDG_DATA_HOME": first.data_home})
        self.assertNotEqual(elsewhere.folder, first.folder)
        self.assertEqual(self.best_score_box(elsewhere), high_score_lines("Ann", 2))
        self.end_without_record(elsewhere, 1)

    @unittest.skipUnless(os.geteuid() == 0, "mounting a small tmpfs needs root")
    def test_a_full_disk_keeps_the_old_record_says_so_and_the_fallback_is_read_back(self):
        disk = tempfile.mkdtemp(prefix="poroten-e2e-disk-")
        self.addCleanup(shutil.rmtree, disk, True)
        size = os.path.getsize(self.binary) + 512 * 1024
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", disk], check=True)
        self.addCleanup(subprocess.run, ["umount", "-l", disk])
        folder = os.path.join(disk, "bin")
        os.makedirs(folder)
        binary = os.path.join(folder, "poroten")
        shutil.copy2(self.binary, binary)
        old = record_bytes(0, "古い記録".encode("cp932")).ljust(10254, b"\0")
        with open(os.path.join(folder, SCORE_FILE), "wb") as f:
            f.write(old)
        # The user's folder on the same disk: no place is left to save in.
        game = self.launch(folder=folder, binary=binary,
                           env={"XDG_DATA_HOME": os.path.join(disk, "data")})
        filler = os.path.join(disk, "filler")
        fd = os.open(filler, os.O_WRONLY | os.O_CREAT, 0o600)
        try:
            while os.write(fd, b"\xff" * 4096) > 0:
                pass
        except OSError:
            pass
        finally:
            os.close(fd)
        self.assertEqual(os.statvfs(disk).f_bavail, 0)

        window = self.reach_record(game)
        window.type("A")
        harness.key("Return")
        box = game.wait_box()
        self.assertEqual(box.lines[0], SAVE_FAILED)
        self.assertEqual(box.lines[1:], [os.path.join(folder, SCORE_FILE), NO_SPACE,
                                         os.path.join(disk, "data", RECORD["dataFolder"], SCORE_FILE),
                                         NO_SPACE])
        box.dismiss()
        self.assert_main_window_back(game)
        self.assertEqual(game.score_file(), old)
        self.assertEqual(sorted(os.listdir(folder)), [SCORE_FILE, "poroten"])
        game.menu_item(menu_text("mnuFile"), menu_text("mnuFileExit"))
        self.assertEqual(game.proc.wait(5), 0)

        # The home folder on another disk: the record goes there, the full
        # program folder keeps its old file, and the next start shows the new one.
        again = self.launch(folder=folder, binary=binary)
        window = self.reach_record(again)
        window.type("Ann")
        harness.key("Return")
        self.assert_main_window_back(again)
        self.assertEqual(again.boxes(), [])
        self.assertEqual(again.score_file(), old)
        self.assertEqual(again.score_file(os.path.join(again.data_home, RECORD["dataFolder"])),
                         record_bytes(1, b"Ann"))
        again.menu_item(menu_text("mnuFile"), menu_text("mnuFileExit"))
        self.assertEqual(again.proc.wait(5), 0)
        third = self.launch(folder=folder, binary=binary, env={"XDG_DATA_HOME": again.data_home})
        self.assertEqual(self.best_score_box(third), high_score_lines("Ann", 1))

    def test_a_link_in_the_records_place_is_not_written_through(self):
        outside = tempfile.mkdtemp(prefix="poroten-e2e-outside-")
        self.addCleanup(shutil.rmtree, outside, True)
        target = os.path.join(outside, "passwd")
        with open(target, "wb") as f:
            f.write(b"root:x:0:0:root:/root:/bin/bash\n")
        game = harness.Game(self.binary)
        os.symlink(target, os.path.join(game.folder, SCORE_FILE))
        self.addCleanup(self._finish, game)
        game.start()
        window = self.reach_record(game)
        window.type("LINK")
        harness.key("Return")
        self.assert_main_window_back(game)
        self.assertEqual(game.boxes(), [])
        with open(target, "rb") as f:
            self.assertEqual(f.read(), b"root:x:0:0:root:/root:/bin/bash\n")
        self.assertTrue(os.path.islink(os.path.join(game.folder, SCORE_FILE)))
        self.assertEqual(game.score_file(os.path.join(game.data_home, RECORD["dataFolder"])),
                         record_bytes(1, b"LINK"))

    @unittest.skipUnless(os.geteuid() == 0 and os.access("/usr/local", os.W_OK),
                         "needs root to put a copy below /usr")
    def test_an_installed_copy_run_as_root_keeps_its_record_in_the_users_folder(self):
        prefix = tempfile.mkdtemp(prefix="poroten-e2e-", dir="/usr/local")
        self.addCleanup(shutil.rmtree, prefix, True)
        folder = os.path.join(prefix, "bin")
        os.makedirs(folder)
        binary = os.path.join(folder, "poroten")
        shutil.copy2(self.binary, binary)
        game = self.launch(folder=folder, binary=binary)
        window = self.reach_record(game)
        window.type("Root")
        harness.key("Return")
        self.assert_main_window_back(game)
        self.assertEqual(game.boxes(), [])
        self.assertEqual(os.listdir(folder), ["poroten"])
        self.assertEqual(game.score_file(os.path.join(game.data_home, RECORD["dataFolder"])),
                         record_bytes(1, b"Root"))
