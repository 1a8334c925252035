#!/usr/bin/python3
"""Runs a test program built for the page in a headless Chromium: serves its
folder, opens PAGE there, echoes GoogleTest's output as it comes and ends
with its status. Anything the page's policy refused meanwhile (a style
attribute in markup, an inline script) fails the run as well.

    run_in_browser.py FOLDER PAGE [--timeout SECONDS]
"""

import argparse
import os
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from browser import Server, chromium, close  # noqa: E402

def main():
    p = argparse.ArgumentParser()
    p.add_argument("folder")
    p.add_argument("page")
    p.add_argument("--timeout", type=float, default=240)
    a = p.parse_args()
    server = Server(os.path.abspath(a.folder))
    server.start()
    driver = chromium()
    try:
        driver.get(server.url + a.page)
        end = time.monotonic() + a.timeout
        while True:
            lines, status, refused = driver.execute_script(
                "var r = [(window.testOutput || []).splice(0), window.testExit === undefined ?"
                " null : window.testExit, window.testRefused || []]; return r;")
            for line in lines:
                print(line, flush=True)
            if status is not None:
                break
            if time.monotonic() > end:
                print("run_in_browser: no result within %.0f s" % a.timeout, flush=True)
                return 1
            time.sleep(0.1)
        if refused:
            print("run_in_browser: the page's policy refused %d times: %s"
                  % (len(refused), ", ".join(sorted(set(refused)))), flush=True)
            return 1
        return status
    finally:
        close(driver)
        server.stop()


if __name__ == "__main__":
    sys.exit(main())
