#!/usr/bin/env python3
"""The Windows release files under Wine, used as a player would:

    install_test.py --setup SETUP.exe --zip ZIP --probe poroten_probe.exe --work DIR --version V

The installer, run silently (/S), puts the program, its read-me files and an
uninstaller in %LOCALAPPDATA%\\Programs\\poroten, a Start-menu shortcut named
as the game's window and an entry in Apps & features; the installed program plays the
smoke test there and keeps its record beside itself; the uninstaller (/S)
takes program, shortcut and entry away and leaves the record. The zip's
program plays from a fresh folder. Both carry the version given.
Expects WINEPREFIX and DISPLAY, as scripts/test-release.sh sets them.
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

from smoke_test import Failure, check
from game_facts import MAIN_TITLE, SCORE_FILE

HERE = os.path.dirname(os.path.abspath(__file__))
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\poroten"
SHORTCUT = MAIN_TITLE + ".lnk"
PUBLISHER = "poroten project"
# The read-me files the Windows packaging carries, each installed and zipped
# (beside them, the CMake file that fills them in).
PACKAGING = os.path.join(os.path.dirname(os.path.dirname(HERE)), "packaging", "windows")
READMES = sorted(name for name in os.listdir(PACKAGING)
                 if name.endswith(".txt") and name != "CMakeLists.txt")
LICENSE = "LICENSE.txt"


def wine(*args, **kwargs):
    return subprocess.run(["wine", *args], stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=120, **kwargs)


def unix_folder(variable):
    """A Windows folder from the prefix's environment, as a Unix path."""
    shown = wine("cmd", "/c", "echo %" + variable + "%").stdout.decode().strip()
    return subprocess.run(["winepath", "-u", shown], capture_output=True, text=True,
                          check=True).stdout.strip()


def uninstall_entry():
    """The Apps & features values of poroten, or None when there is no entry."""
    with tempfile.TemporaryDirectory() as tmp:
        exported = os.path.join(tmp, "entry.reg")
        if wine("reg", "export", UNINSTALL_KEY, exported).returncode != 0:
            return None
        with open(exported, "rb") as f:
            text = f.read().decode("utf-16")
    values = {}
    for line in text.splitlines():
        if line.startswith('"') and "=" in line:
            name, value = line.split("=", 1)
            if value.startswith("dword:"):
                values[name.strip('"')] = int(value[6:], 16)
            else:
                values[name.strip('"')] = re.sub(r"\\(.)", r"\1", value[1:-1])
    return values


def version_resource(path):
    """FILEVERSION of a program's version resource, as "a.b.c.d"."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    check(at >= 0, "%s has a version resource" % os.path.basename(path))
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def as_quad(version):
    parts = [int(p) for p in version.split(".")]
    return ".".join(str(p) for p in (parts + [0, 0, 0, 0])[:4])


def smoke(exe, probe, work):
    run = subprocess.run([sys.executable, os.path.join(HERE, "smoke_test.py"), "--exe", exe,
                          "--probe", probe, "--work", work, "--in-place"],
                         stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=300)
    sys.stdout.write(run.stdout)
    if run.returncode != 0:
        raise Failure("smoke test of %s: %s" % (exe, run.stderr.strip()[-1000:]))
    check(True, "the smoke test played %s" % exe)


def check_licence(path):
    """The MIT licence as Notepad shows it: CRLF throughout, no bare LF."""
    with open(path, "rb") as f:
        text = f.read()
    check(text.startswith(b"MIT License\r\n\r\nCopyright (c) 2026 the poroten developers\r\n")
          and b"Permission is hereby granted, free of charge" in text
          and text.count(b"\n") == text.count(b"\r\n") > 20,
          "%s: the MIT licence, CRLF" % os.path.basename(path))


def wait_until(what, predicate, timeout=60):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return
        time.sleep(0.5)
    raise Failure("timed out waiting for " + what)


def test_installer(args):
    folder = os.path.join(unix_folder("LOCALAPPDATA"), "Programs", "poroten")
    shortcut = os.path.join(unix_folder("APPDATA"), "Microsoft", "Windows", "Start Menu",
                            "Programs", SHORTCUT)
    # A clean slate: nothing of an earlier run in this prefix.
    shutil.rmtree(folder, ignore_errors=True)
    if os.path.exists(shortcut):
        os.remove(shortcut)
    wine("reg", "delete", UNINSTALL_KEY, "/f")

    check(version_resource(args.setup) == as_quad(args.version),
          "the installer carries version %s" % args.version)
    check(wine(args.setup, "/S").returncode == 0, "silent install (/S) exits 0")
    installed = sorted(os.listdir(folder))
    check(installed == sorted(["poroten.exe", "uninstall.exe", LICENSE, *READMES]),
          "installed into %%LOCALAPPDATA%%\\Programs\\poroten: %s" % installed)
    exe = os.path.join(folder, "poroten.exe")
    check(version_resource(exe) == as_quad(args.version), "poroten.exe is version %s" % args.version)
    check_licence(os.path.join(folder, LICENSE))
    with open(shortcut, "rb") as f:
        link = f.read()
    check("poroten.exe".encode("utf-16-le") in link or b"poroten.exe" in link,
          "Start-menu shortcut %s points at poroten.exe" % SHORTCUT)

    entry = uninstall_entry()
    check(entry is not None, "Apps & features has an entry")
    windows_folder = entry.get("InstallLocation", "")
    program_kib = sum(os.path.getsize(os.path.join(folder, f))
                      for f in ["poroten.exe", LICENSE, *READMES]) / 1024
    check(entry.get("DisplayName") == MAIN_TITLE and entry.get("DisplayVersion") == args.version
          and entry.get("Publisher") == PUBLISHER
          and entry.get("DisplayIcon") == windows_folder + "\\poroten.exe,0"
          and entry.get("UninstallString") == '"%s\\uninstall.exe"' % windows_folder
          and entry.get("QuietUninstallString") == '"%s\\uninstall.exe" /S' % windows_folder,
          "entry: %s" % {k: v for k, v in entry.items() if k != "EstimatedSize"})
    check(abs(entry.get("EstimatedSize", 0) - program_kib) <= 4,
          "estimated size %s KiB for %.0f KiB of files" % (entry.get("EstimatedSize"), program_kib))

    smoke(exe, args.probe, os.path.join(args.work, "installed"))
    record = os.path.join(folder, SCORE_FILE)
    with open(record, "rb") as f:
        kept = f.read()

    check(wine(os.path.join(folder, "uninstall.exe"), "/S").returncode == 0,
          "silent uninstall (/S) exits 0")
    # The uninstaller runs on from a copy of itself in the temporary folder.
    wait_until("the uninstaller to finish", lambda: os.listdir(folder) == [SCORE_FILE])
    check(not os.path.exists(shortcut), "the shortcut is gone")
    check(uninstall_entry() is None, "the Apps & features entry is gone")
    with open(record, "rb") as f:
        check(f.read() == kept, "the record stays, unchanged: %s" % kept.hex(" "))
    shutil.rmtree(folder)


def test_zip(args):
    folder = os.path.join(args.work, "unzipped")
    shutil.rmtree(folder, ignore_errors=True)
    with zipfile.ZipFile(args.zip) as z:
        names = z.namelist()
        top = "poroten-%s-win64/" % args.version
        check(names == sorted(top + n for n in ["poroten.exe", LICENSE, *READMES]),
              "the zip holds %s" % names)
        z.extractall(folder)
    exe = os.path.join(folder, top, "poroten.exe")
    check(version_resource(exe) == as_quad(args.version), "the zip's poroten.exe is version %s" % args.version)
    for readme in READMES:
        with open(os.path.join(folder, top, readme), "rb") as f:
            text = f.read()
        check(text.startswith(b"\xef\xbb\xbf") and b"\r\n" in text and SCORE_FILE.encode() in text
              and args.version.encode() in text, "%s: UTF-8 with BOM, CRLF, names the record" % readme)
    check_licence(os.path.join(folder, top, LICENSE))
    smoke(exe, args.probe, os.path.join(args.work, "zip"))
    check(os.path.isfile(os.path.join(folder, top, SCORE_FILE)), "the record is beside the unzipped program")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for name in ("--setup", "--zip", "--probe", "--work", "--version"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    args.work = os.path.abspath(args.work)
    os.makedirs(args.work, exist_ok=True)
    try:
        test_installer(args)
        test_zip(args)
    except Failure as failure:
        print("FAILED:", failure, file=sys.stderr)
        return 1
    print("Windows release files passed.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
