"""The program installed like a desktop program, and its Debian package."""

import configparser
import glob
import os
import shutil
import subprocess
import tempfile
import time
import unittest

from e2e_case import record_bytes, run_as_test_user, unprivileged_account, user_folder
from game_facts import LEFTOVER_AGE, MAIN_TITLE, SAVE_FAILED

BUILD = os.environ.get("POROTEN_BUILD_DIR", "")

ICONS = ["share/icons/hicolor/32x32/apps/poroten.png",
         "share/icons/hicolor/256x256/apps/poroten.png",
         "share/icons/hicolor/scalable/apps/poroten.svg"]


def desktop_entry(path):
    parser = configparser.ConfigParser(interpolation=None, strict=True)
    parser.optionxform = str  # keys like Name[ja] are case-sensitive
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    return parser["Desktop Entry"]


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


@unittest.skipUnless(BUILD, "needs --build-dir")
class Installed(unittest.TestCase):
    def install(self):
        prefix = tempfile.mkdtemp(prefix="poroten-prefix-")
        self.addCleanup(shutil.rmtree, prefix, True)
        os.chmod(prefix, 0o755)  # readable by the test user, writable by root only
        subprocess.run(["cmake", "--install", BUILD, "--prefix", prefix], check=True,
                       capture_output=True)
        return prefix

    def test_install_lays_out_binary_desktop_entry_and_icons(self):
        prefix = self.install()
        self.assertTrue(os.access(os.path.join(prefix, "bin/poroten"), os.X_OK))
        entry = desktop_entry(os.path.join(prefix, "share/applications/poroten.desktop"))
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Name"], "poroten")
        self.assertEqual(entry["Name[ja]"], MAIN_TITLE)
        self.assertEqual(entry["Categories"], "Game;")
        self.assertEqual(entry["Exec"], "poroten")
        self.assertEqual(entry["Icon"], "poroten")
        if shutil.which("desktop-file-validate"):
            check = subprocess.run(["desktop-file-validate",
                                    os.path.join(prefix, "share/applications/poroten.desktop")],
                                   capture_output=True, text=True)
            self.assertEqual((check.returncode, check.stdout), (0, ""))
        for icon in ICONS:
            self.assertTrue(os.path.isfile(os.path.join(prefix, icon)), icon)
        self.assertEqual(png_size(os.path.join(prefix, ICONS[0])), (32, 32))
        self.assertEqual(png_size(os.path.join(prefix, ICONS[1])), (256, 256))
        with open(os.path.join(prefix, ICONS[2]), encoding="utf-8") as f:
            self.assertIn("<svg", f.read())

    def play_as_test_user(self, prefix, name, data_home=None, beside_record=()):
        """Runs as_user.py as the unprivileged test user, with the files named in
        beside_record waiting in the user's data folder; returns (account, its result)."""
        account = unprivileged_account(self)
        data = os.path.join(account.pw_dir, ".local/share/poroten")
        shutil.rmtree(data, ignore_errors=True)
        for file in beside_record:
            os.makedirs(data, exist_ok=True)
            with open(os.path.join(data, file), "w") as f:
                f.write("left here")
            # Old enough to count as left behind, not as another copy's save in flight.
            old = time.time() - 2 * LEFTOVER_AGE
            os.utime(os.path.join(data, file), (old, old))
            for path in (".local", ".local/share", ".local/share/poroten",
                         ".local/share/poroten/" + file):
                os.chown(os.path.join(account.pw_dir, path), account.pw_uid, account.pw_gid)
        return run_as_test_user(self, user_folder(self), "as_user.py",
                                os.path.join(prefix, "bin/poroten"), name,
                                *([data_home] if data_home else []))

    @unittest.skipUnless(os.geteuid() == 0, "needs root to add and become a test user")
    def test_unprivileged_user_keeps_the_record_in_the_data_folder(self):
        prefix = self.install()
        account, result = self.play_as_test_user(prefix, "Ann")
        self.assertEqual(result, {"box": None, "exit": 0})
        self.assertFalse(os.path.exists(os.path.join(prefix, "bin/m_score.sav")))
        record = os.path.join(account.pw_dir, ".local/share/poroten/m_score.sav")
        with open(record, "rb") as f:
            self.assertEqual(f.read(), record_bytes(1, b"Ann"))
        self.assertEqual(os.stat(record).st_uid, account.pw_uid)

    @unittest.skipUnless(os.geteuid() == 0, "needs root to add and become a test user")
    def test_a_record_that_cannot_be_saved_anywhere_is_reported(self):
        prefix = self.install()
        locked = tempfile.mkdtemp(prefix="poroten-locked-")
        self.addCleanup(shutil.rmtree, locked, True)
        os.chmod(locked, 0o755)  # the test user may look but not write
        data_home = os.path.join(locked, "data")
        _, result = self.play_as_test_user(prefix, "Ann", data_home)
        self.assertEqual(result["exit"], 0)
        self.assertEqual(result["box"], [
            SAVE_FAILED,
            os.path.join(prefix, "bin/m_score.sav"), "Permission denied",
            os.path.join(data_home, "poroten/m_score.sav"), "Permission denied"])
        self.assertEqual(os.listdir(locked), [])

    def test_debian_package(self):
        if not shutil.which("cpack") or not shutil.which("dpkg-deb"):
            self.skipTest("cpack and dpkg-deb are needed")
        out = tempfile.mkdtemp(prefix="poroten-deb-")
        self.addCleanup(shutil.rmtree, out, True)
        subprocess.run(["cpack", "-G", "DEB", "-B", out, "--config",
                        os.path.join(BUILD, "CPackConfig.cmake")], check=True,
                       capture_output=True, cwd=out)
        debs = glob.glob(os.path.join(out, "*.deb"))
        self.assertEqual(len(debs), 1, os.listdir(out))
        deb = debs[0]

        def field(name):
            return subprocess.run(["dpkg-deb", "-f", deb, name], check=True,
                                  capture_output=True, text=True).stdout.strip()

        self.assertEqual(field("Package"), "poroten")
        self.assertEqual(field("Version"), "1.0")
        self.assertEqual(field("Section"), "games")
        depends = [d.strip() for d in field("Depends").split(",")]
        self.assertIn("fonts-ipafont-gothic | fonts-noto-cjk", depends)
        self.assertIn("qt6-qpa-plugins", depends)
        names = {d.split()[0] for d in depends}
        for library in ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libc6", "libstdc++6"):
            self.assertIn(library, names, depends)

        listing = subprocess.run(["dpkg-deb", "-c", deb], check=True, capture_output=True,
                                 text=True).stdout
        files = {line.split()[-1].lstrip(".") for line in listing.splitlines()}
        for path in ["/usr/bin/poroten", "/usr/share/applications/poroten.desktop",
                     *["/usr/" + icon for icon in ICONS]]:
            self.assertIn(path, files)

        tree = os.path.join(out, "tree")
        subprocess.run(["dpkg-deb", "-x", deb, tree], check=True)
        entry = desktop_entry(os.path.join(tree, "usr/share/applications/poroten.desktop"))
        self.assertEqual((entry["Name"], entry["Name[ja]"], entry["Categories"]),
                         ("poroten", MAIN_TITLE, "Game;"))
        mode = os.stat(os.path.join(tree, "usr/bin/poroten")).st_mode
        self.assertTrue(mode & 0o111, oct(mode))


INSTALLED_DEB = os.environ.get("POROTEN_INSTALLED_DEB", "")


@unittest.skipUnless(INSTALLED_DEB and os.geteuid() == 0,
                     "needs the .deb installed with apt-get, as scripts/test-release.sh does")
class InstalledPackage(unittest.TestCase):
    """The release's .deb as apt-get installed it on this machine."""
    play_as_test_user = Installed.play_as_test_user

    def test_installed_package_answers_plays_and_tidies_up(self):
        def field(name):
            return subprocess.run(["dpkg-deb", "-f", INSTALLED_DEB, name], check=True,
                                  capture_output=True, text=True).stdout.strip()

        version = field("Version")
        status = subprocess.run(["dpkg-query", "-W", "-f", "${Status} ${Version}", "poroten"],
                                capture_output=True, text=True).stdout
        self.assertEqual(status, "install ok installed " + version)
        listed = subprocess.run(["dpkg", "-L", "poroten"], check=True, capture_output=True,
                                text=True).stdout.splitlines()
        for path in ["/usr/bin/poroten", "/usr/share/applications/poroten.desktop",
                     "/usr/share/metainfo/example.poroten.poroten.metainfo.xml",
                     "/usr/share/doc/poroten/copyright"]:
            self.assertIn(path, listed)
        # The licence, machine-readable, for the whole source; lintian checks the format.
        with open("/usr/share/doc/poroten/copyright", encoding="utf-8") as f:
            copyright = f.read()
        self.assertRegex(copyright, r"\AFormat: https://www.debian.org/doc/packaging-manuals/"
                                    r"copyright-format/1.0/\n")
        self.assertIn("\n\nFiles: *\nCopyright: 2026 the poroten developers\nLicense: Expat\n",
                      copyright)
        self.assertIn("\n\nLicense: Expat\n Permission is hereby granted", copyright)
        with open("/usr/share/metainfo/example.poroten.poroten.metainfo.xml", encoding="utf-8") as f:
            self.assertIn("<project_license>MIT</project_license>", f.read())

        # A terminal without a display: both answer and end at once.
        bare = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "HOME": "/nonexistent"}
        answer = subprocess.run(["poroten", "--version"], env=bare, capture_output=True,
                                text=True, timeout=10)
        self.assertEqual((answer.returncode, answer.stdout), (0, f"poroten {version}\n"))
        answer = subprocess.run(["poroten", "--help"], env=bare, capture_output=True,
                                text=True, timeout=10)
        self.assertEqual(answer.returncode, 0)
        self.assertTrue(answer.stdout.startswith("Usage: poroten"), answer.stdout)

        # An earlier save killed before its rename left its temporary file;
        # the installed program plays, keeps its record in the user's data
        # folder, and removes that file but nothing else.
        account, result = self.play_as_test_user(
            "/usr", "Deb", beside_record=["m_score.sav.Xy12Zq", "m_score.sav.bak"])
        self.assertEqual(result, {"box": None, "exit": 0})
        data = os.path.join(account.pw_dir, ".local/share/poroten")
        self.assertEqual(sorted(os.listdir(data)), ["m_score.sav", "m_score.sav.bak"])
        with open(os.path.join(data, "m_score.sav"), "rb") as f:
            self.assertEqual(f.read(), record_bytes(1, b"Deb"))
