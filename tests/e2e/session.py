"""A private X display and D-Bus session with the accessibility bus, shared by
the end-to-end suite and the benchmark. Imports nothing that needs the bus."""

import os
import subprocess
import time

PYTHON = "/usr/bin/python3"  # Debian's, which has pyatspi


def start_xvfb(allow_any_user=False):
    """Starts Xvfb on a free display; returns (process, ":N")."""
    # -displayfd lets Xvfb pick a free display number, so parallel runs do not collide;
    # -noreset keeps it from refusing connections while it resets after the last client.
    read_fd, write_fd = os.pipe()
    args = ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
            "-nolisten", "tcp", "-noreset"]
    if allow_any_user:
        args.append("-ac")
    xvfb = subprocess.Popen(args, pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as f:
        display = f.readline().strip()
    if not display:
        xvfb.wait()
        raise RuntimeError("Xvfb did not start")
    return xvfb, f":{display}"


def rerun_in_dbus_session(script, argv, display, extra_env=None):
    """Runs script again under dbus-run-session on display; returns its exit code."""
    env = dict(os.environ, DISPLAY=display)
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    env.pop("AT_SPI_BUS_ADDRESS", None)
    env.update(extra_env or {})
    return subprocess.call(["dbus-run-session", "--", PYTHON, os.path.abspath(script),
                            "--inner", *argv], env=env)


def start_accessibility_bus(timeout=10.0):
    """Starts at-spi-bus-launcher in this D-Bus session and waits until it answers."""
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + timeout
    while True:
        reply = subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], capture_output=True, text=True)
        if reply.returncode == 0 and "unix:" in reply.stdout:
            return launcher
        if time.monotonic() > deadline or launcher.poll() is not None:
            launcher.kill()
            raise RuntimeError("the accessibility bus did not start")
        time.sleep(0.05)
