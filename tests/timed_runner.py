"""unittest's text runner, with each test's duration after its result, so that
a slow test shows in the log; and a command line for a module of tests that
can run them side by side, each in a process of its own."""

import argparse
import concurrent.futures
import re
import subprocess
import time
import unittest


class TimedResult(unittest.TextTestResult):
    def startTest(self, test):
        self._began = time.monotonic()
        super().startTest(test)

    def took(self):
        return "%.1f s" % (time.monotonic() - self._began)

    # Python 3.11 writes each result through this; older ones get a line of its own.
    if hasattr(unittest.TextTestResult, "_write_status"):
        def _write_status(self, test, status):
            super()._write_status(test, "%s (%s)" % (status, self.took()))
    else:
        def stopTest(self, test):
            if self.showAll:
                self.stream.writeln("    %s: %s" % (test.id(), self.took()))
            super().stopTest(test)


def run(suite, verbosity=2):
    """Runs the suite as TextTestRunner does; returns its result."""
    return unittest.TextTestRunner(verbosity=verbosity, resultclass=TimedResult).run(suite)


def flatten(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from flatten(item)
        else:
            yield item


def run_each_alone(names, command, jobs):
    """Runs each named test in a process of its own (command(name) gives its
    arguments), jobs at a time; prints each one's result and duration as it
    ends, and its output when it did not pass. Returns True if all passed."""
    def one(name):
        began = time.monotonic()
        done = subprocess.run(command(name), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT)
        return name, done, time.monotonic() - began

    began = time.monotonic()
    failed = []
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        for future in concurrent.futures.as_completed([pool.submit(one, n) for n in names]):
            name, done, took = future.result()
            out = done.stdout.decode("utf-8", "replace")
            # Exactly one test ran, so none can drop out unnoticed.
            ran_one = re.search(r"^Ran 1 test in ", out, re.M) is not None
            if done.returncode == 0 and ran_one:
                status = "skipped" if re.search(r"^OK \(skipped=1\)", out, re.M) else "ok"
                print("%s ... %s (%.1f s)" % (name, status, took), flush=True)
            else:
                failed.append(name)
                print("%s ... FAILED (%.1f s)\n%s" % (name, took, out), flush=True)
    print("\nRan %d tests in %.1f s, %d at a time: %s" % (
        len(names), time.monotonic() - began, jobs,
        "FAILED: " + ", ".join(failed) if failed else "OK"), flush=True)
    return not failed


def main(module, argv, command):
    """The command line of a module of tests: [-k PATTERN] [-j JOBS] [--test NAME].
    command is how to run the module again, for the processes of -j."""
    p = argparse.ArgumentParser()
    p.add_argument("-k", dest="pattern", help="only the tests whose name holds this text")
    p.add_argument("-j", dest="jobs", type=int, default=1,
                   help="run the tests side by side, each in a process of its own")
    p.add_argument("--test", help="only the test of this name (Class.method)")
    args = p.parse_args(argv)
    loader = unittest.TestLoader()
    if args.pattern:
        loader.testNamePatterns = ["*%s*" % args.pattern]
    if args.test:
        suite = loader.loadTestsFromName(args.test, module)
    else:
        suite = loader.loadTestsFromModule(module)
    if args.jobs > 1 and not args.test:
        names = [t.id().split(".", 1)[1] for t in flatten(suite)]
        # The classes the module names as its longest go first, so that they
        # do not start last and hold up the end.
        longest = getattr(module, "LONGEST_FIRST", [])
        names.sort(key=lambda n: longest.index(n.split(".")[0]) if n.split(".")[0] in longest
                   else len(longest))
        return 0 if run_each_alone(names, lambda n: command + ["--test", n], args.jobs) else 1
    return 0 if run(suite).wasSuccessful() else 1
