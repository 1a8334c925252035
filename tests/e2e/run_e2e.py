#!/usr/bin/python3
"""Runs the end-to-end suite against a built poroten binary.

    run_e2e.py --binary build/app/poroten [--build-dir build] [-k PATTERN ...]
               [--timed | --untimed]

Starts its own Xvfb, then itself again inside `dbus-run-session` with the
accessibility bus launched, so that the program and the screen-reader side of
the tests meet on a private bus and a private display. Ends with the line
'N passed, N failed, N skipped'.
"""

import argparse
import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(1, os.path.dirname(HERE))  # game_facts
import session  # noqa: E402
import timed_runner  # noqa: E402


def parse_args(argv):
    p = argparse.ArgumentParser()
    p.add_argument("--binary", required=True)
    p.add_argument("--build-dir", help="the build tree, for the install and package checks")
    p.add_argument("-k", dest="patterns", action="append", default=[],
                   help="run only tests whose id contains this text")
    timed = p.add_mutually_exclusive_group()
    timed.add_argument("--timed", action="store_true",
                       help="only the tests timed to the game's ticks (they want the machine "
                            "to themselves)")
    timed.add_argument("--untimed", action="store_true", help="only the other tests")
    p.add_argument("--screenshots", help="folder to keep a screenshot of each failure in")
    p.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    return p.parse_args(argv)


def outer(argv):
    # -ac: the unprivileged test user must reach this display too.
    xvfb, display = session.start_xvfb(allow_any_user=True)
    try:
        return session.rerun_in_dbus_session(__file__, argv, display,
                                             {"POROTEN_E2E_INNER": "1"})
    finally:
        xvfb.terminate()
        xvfb.wait()


def inner(args):
    try:
        launcher = session.start_accessibility_bus()
    except RuntimeError as error:
        print(error, file=sys.stderr)
        return 2

    os.environ["POROTEN_BINARY"] = os.path.abspath(args.binary)
    if args.build_dir:
        os.environ["POROTEN_BUILD_DIR"] = os.path.abspath(args.build_dir)
    # The facts the build wrote from the game, in the build tree's top.
    build_dir = args.build_dir or os.path.dirname(os.path.dirname(os.path.abspath(args.binary)))
    os.environ.setdefault("POROTEN_FACTS", os.path.join(os.path.abspath(build_dir),
                                                        "game_facts.json"))
    if args.screenshots:
        os.environ["POROTEN_E2E_SHOTS"] = os.path.abspath(args.screenshots)
    sys.path.insert(0, HERE)
    loader = unittest.TestLoader()
    if args.patterns:
        loader.testNamePatterns = [f"*{p}*" for p in args.patterns]
    suite = loader.discover(HERE, pattern="test_*.py", top_level_dir=HERE)
    # A class imported into another test module is found there too: each test once.
    tests, ids = [], set()
    for test in timed_runner.flatten(suite):
        if test.id() not in ids:
            ids.add(test.id())
            tests.append(test)
    if args.timed or args.untimed:
        tests = [t for t in tests if timed(t) == args.timed]
    suite = unittest.TestSuite(tests)
    result = timed_runner.run(suite)
    launcher.terminate()
    launcher.wait()
    failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
    skipped = len(result.skipped)
    passed = result.testsRun - failed - skipped
    print(f"{passed} passed, {failed} failed, {skipped} skipped")
    if result.testsRun == 0:
        return 1
    return 0 if failed == 0 else 1


def timed(test):
    """Whether the test is marked timed_to_the_tick (e2e_case.py)."""
    method = getattr(test, getattr(test, "_testMethodName", ""), None)
    return bool(getattr(method, "timed_to_the_tick", False))


def main(argv):
    args = parse_args(argv)
    if not os.path.isfile(args.binary):
        print(f"no program at {args.binary}", file=sys.stderr)
        return 2
    if args.inner or os.environ.get("POROTEN_E2E_INNER"):
        return inner(args)
    return outer(argv)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
