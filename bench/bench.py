#!/usr/bin/python3
"""poroten's benchmark: start-up, memory, the countdown's clock and key to screen.

    bench.py --build build-bench [--runs 15] [--ticks 60] [--keys 20] [--only WHAT,...]

WHAT is startup, ticks, keys. Prints a table; it is a measurement, not a test,
and exits 0 whatever the numbers are (non-zero only when a measurement could
not be made). Runs on its own Xvfb inside its own D-Bus session with the
accessibility bus up, as a desktop session has it.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "tests"))  # game_facts, which the harness reads
import session  # noqa: E402

TARGETS = {"startup": "start-up and peak RSS", "ticks": "countdown clock",
           "keys": "key to screen"}


def parse_args(argv):
    p = argparse.ArgumentParser()
    p.add_argument("--build", required=True, help="the build tree of bench/CMakeLists.txt")
    p.add_argument("--runs", type=int, default=15, help="start-ups of each program")
    p.add_argument("--ticks", type=int, default=60, help="timer ticks in each clock run")
    p.add_argument("--keys", type=int, default=20, help="answer keys timed")
    p.add_argument("--only", default="startup,ticks,keys")
    p.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    return p.parse_args(argv)


def outer(argv):
    xvfb, display = session.start_xvfb()
    try:
        return session.rerun_in_dbus_session(__file__, argv, display)
    finally:
        xvfb.terminate()
        xvfb.wait()


def plain_env(runtime):
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
    env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
    return env


# --- start-up and memory --------------------------------------------------

def startup(build, runs, work):
    probe = os.path.join(build, "startup_probe")
    game_dir = os.path.join(work, "game")
    os.makedirs(game_dir)
    game = shutil.copy2(os.path.join(build, "poroten", "app", "poroten"), game_dir)
    floor = os.path.join(build, "floor")
    env = plain_env(os.path.join(work, "runtime"))
    env["XDG_DATA_HOME"] = os.path.join(work, "data")
    programs = {"poroten": (game, "ポロテン"), "floor": (floor, "floor")}

    def once(which):
        binary, title = programs[which]
        run = subprocess.run([probe, title, "1000", binary], env=env, capture_output=True,
                             text=True)
        if run.returncode != 0:
            raise RuntimeError(f"start-up probe of {which} failed: {run.stderr.strip()}")
        out = run.stdout
        fields = dict(part.split("=") for part in out.split())
        return int(fields["startup_us"]) / 1000.0, int(fields["maxrss_kib"]) / 1024.0

    for which in ("floor", "poroten", "floor", "poroten"):  # warm the page cache
        once(which)
    results = {"poroten": [], "floor": []}
    for i in range(runs):
        order = ("floor", "poroten") if i % 2 == 0 else ("poroten", "floor")
        for which in order:
            results[which].append(once(which))
    return results


# --- the countdown's clock ------------------------------------------------

def cpu_times():
    with open("/proc/stat") as f:
        fields = [int(v) for v in f.readline().split()[1:]]
    idle = fields[3] + fields[4]  # idle and iowait
    return sum(fields), idle


def tick_run(build, ticks, work):
    env = plain_env(os.path.join(work, "runtime"))
    total0, idle0 = cpu_times()
    out = subprocess.run([os.path.join(build, "tick_bench"), str(ticks)], env=env,
                         capture_output=True, text=True, check=True).stdout
    late = []
    for line in out.splitlines():
        fields = dict(part.split("=") for part in line.split())
        late.append(int(fields["late_us"]) / 1000.0)
    if len(late) != ticks:
        raise RuntimeError(f"{len(late)} ticks of {ticks}")
    total1, idle1 = cpu_times()
    busy = 100.0 * (1 - (idle1 - idle0) / max(1, total1 - total0))
    return late, busy


def slope_ms_per_min(late):
    # Least-squares slope of lateness over the tick number: a growing drift shows here.
    n = len(late)
    xs = range(1, n + 1)
    mx = sum(xs) / n
    my = sum(late) / n
    sxy = sum((x - mx) * (y - my) for x, y in zip(xs, late))
    sxx = sum((x - mx) ** 2 for x in xs)
    return sxy / sxx * 60.0


def ticks(build, count, work):
    idle = tick_run(build, count, work)
    # Both cores busy for the whole run: two CPU hogs at the same priority as the timer.
    stress = subprocess.Popen(["stress-ng", "--cpu", "2", "--cpu-method", "matrixprod",
                               "--timeout", f"{count + 15}s", "--quiet"])
    time.sleep(1.0)
    try:
        loaded = tick_run(build, count, work)
    finally:
        stress.terminate()
        stress.wait()
    return {"idle": idle, "both cores busy": loaded}


# --- key to screen --------------------------------------------------------

def keys(build, count, work):
    os.environ.setdefault("POROTEN_FACTS", os.path.join(build, "game_facts.json"))
    import harness  # needs the accessibility bus; imported late on purpose

    probe = os.path.join(build, "key_probe")
    # Reading the row needs the screen-reader side on, so the program also
    # announces each change over AT-SPI: the times include that work.
    game = harness.Game(os.path.join(build, "poroten", "app", "poroten"))
    samples = []
    try:
        game.start()
        ox, oy = game.client_origin()
        while len(samples) < count:
            digits = game.start_game() if not samples else game.digits()
            game.wait_answer_phase()
            game.focus_main()
            for i in range(len(digits) - 1):  # the last key of a row brings a new row
                x, y = ox + harness.cell_rect(i)[0] + 3, oy + harness.cell_rect(i)[1] + 3
                out = subprocess.run([probe, digits[i], str(x), str(y), "0000ff"],
                                     capture_output=True, text=True, check=True).stdout
                samples.append(int(out.split("=")[1]) / 1000.0)
            score = int(game.text("Label5"))
            game.type_answer(digits[-1])
            game.wait_text("Label5", str(score + 1))
    finally:
        game.close()
    return samples


# --- the table -------------------------------------------------------------

def median(values):
    return statistics.median(values)


def p95(values):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(0.95 * (len(ordered) - 1))))]


def verdict(ok):
    return "met" if ok else "NOT met"


def report(results, args):
    rows = [("measure", "poroten", "floor / limit", "ratio or margin", "target", "")]
    if "startup" in results:
        r = results["startup"]
        pt = median([t for t, _ in r["poroten"]])
        ft = median([t for t, _ in r["floor"]])
        pm = median([m for _, m in r["poroten"]])
        fm = median([m for _, m in r["floor"]])
        rows.append((f"start-up, exec to window mapped (median of {args.runs})",
                     f"{pt:.1f} ms", f"{ft:.1f} ms", f"{pt / ft:.2f}x", "<= 1.15x floor",
                     verdict(pt / ft <= 1.15)))
        rows.append((f"peak RSS (median of {args.runs})", f"{pm:.1f} MiB", f"{fm:.1f} MiB",
                     f"+{pm - fm:.1f} MiB", "<= floor + 4 MiB", verdict(pm - fm <= 4.0)))
    if "ticks" in results:
        for load, (late, busy) in results["ticks"].items():
            limit = 5.0 if load == "idle" else 20.0
            worst = max(late, key=abs)
            rows.append((f"tick vs schedule, {len(late)} ticks of 1000 ms, {load} "
                         f"(CPUs {busy:.0f}% busy): worst",
                         f"{worst:+.2f} ms", "", "", f"within +-{limit:.0f} ms",
                         verdict(abs(worst) <= limit)))
            # Drift: how far the typical tick moved from the first ten to the last ten;
            # single late ticks are the worst-case row's business.
            first, last = median(late[:10]), median(late[-10:])
            slope = slope_ms_per_min(late)
            rows.append(("  drift, median of ticks 1-10 -> last 10 (trend)",
                         f"{first:+.2f} -> {last:+.2f} ms", f"{slope:+.2f} ms/min", "",
                         "no growing drift", verdict(abs(last - first) <= 1.0)))
    if "keys" in results:
        s = results["keys"]
        rows.append((f"key to answered cell blue ({len(s)} keys): median", f"{median(s):.2f} ms",
                     "", "", "< 16 ms", verdict(median(s) < 16.0)))
        rows.append(("  95th percentile / worst", f"{p95(s):.2f} ms", f"{max(s):.2f} ms", "",
                     "< 16 ms", verdict(max(s) < 16.0)))
    widths = [max(len(r[i]) for r in rows) for i in range(len(rows[0]))]
    lines = []
    for n, r in enumerate(rows):
        lines.append("| " + " | ".join(c.ljust(w) for c, w in zip(r, widths)) + " |")
        if n == 0:
            lines.append("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    return "\n".join(lines)


def inner(args):
    launcher = session.start_accessibility_bus()
    work = tempfile.mkdtemp(prefix="poroten-bench-")
    os.makedirs(os.path.join(work, "runtime"), mode=0o700)
    results = {}
    try:
        for what in args.only.split(","):
            print(f"measuring {TARGETS[what]} ...", file=sys.stdout, flush=True)
            if what == "startup":
                results[what] = startup(args.build, args.runs, work)
            elif what == "ticks":
                results[what] = ticks(args.build, args.ticks, work)
            elif what == "keys":
                results[what] = keys(args.build, args.keys, work)
    finally:
        launcher.terminate()
        shutil.rmtree(work, ignore_errors=True)
    print()
    print(report(results, args))
    if "ticks" in results:
        for load, (late, _) in results["ticks"].items():
            print(f"\nlateness per tick, {load} (ms): " + " ".join(f"{v:+.2f}" for v in late))
    if "keys" in results:
        print("\nkey to screen per key (ms): " + " ".join(f"{v:.2f}" for v in results["keys"]))
    if "startup" in results:
        for which, runs in results["startup"].items():
            print(f"\nstart-up {which} (ms, MiB): " +
                  " ".join(f"{t:.1f}/{m:.1f}" for t, m in runs))
    return 0


def main(argv):
    args = parse_args(argv)
    args.build = os.path.abspath(args.build)
    if args.inner:
        return inner(args)
    return outer(argv + ["--build", args.build])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
