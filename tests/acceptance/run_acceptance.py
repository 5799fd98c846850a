#!/usr/bin/python3
"""Runs acceptance tests on a desktop of their own: a virtual X display (Xvfb, a free display number from
-displayfd, so that several runs can go side by side) with a window manager (openbox), a D-Bus session
(dbus-run-session) and the AT-SPI bus in it. Everything started here is ended here, whatever the outcome.

Usage: run_acceptance.py [--app PATH] [--out DIR] TEST...
  TEST   a unittest name, e.g. sweep_test.CommandSweep.test_file_menu
  --app  the program to drive (default: QUILLORY_APP, else QUILLORY_BUILT_APP, which ctest sets to the
         program it built, else build/quillory of this tree)
  --out  where screenshots and logs go (default: QUILLORY_ACCEPTANCE_OUT, else a temporary folder)
"""

import argparse
import os
import select
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SCREEN = "1400x1000x24"


def start_xvfb():
    """Starts Xvfb on a display number it picks itself; returns (process, ":N")."""
    read_end, write_end = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp",
                             "-noreset"], pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 20
    try:
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(deadline - time.monotonic(), 0))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                raise RuntimeError("Xvfb did not tell its display number")
            number += chunk
    except BaseException:
        stop(proc)
        raise
    finally:
        os.close(read_end)
    return proc, ":" + number.decode().strip()


def stop(proc):
    """Ends a process started here and its process group: politely, then for good."""
    if proc is None:
        return
    for sig, grace in ((signal.SIGTERM, 3), (signal.SIGKILL, 3)):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            break
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            continue
        try:  # the leader is gone; its group may not be
            os.killpg(proc.pid, 0)
        except ProcessLookupError:
            break
    try:
        proc.wait(1)
    except subprocess.TimeoutExpired:
        pass


def outer(args):
    out = Path(args.out or os.environ.get("QUILLORY_ACCEPTANCE_OUT") or tempfile.mkdtemp(prefix="acceptance-"))
    out.mkdir(parents=True, exist_ok=True)
    app = os.path.abspath(args.app or os.environ.get("QUILLORY_APP") or os.environ.get("QUILLORY_BUILT_APP")
                          or HERE.parents[1] / "build" / "quillory")
    if not os.access(app, os.X_OK):
        print(f"run_acceptance: no program at {app}", file=sys.stderr)
        return 2
    xvfb, display = start_xvfb()
    window_manager = None
    try:
        # A person's desktop has a window manager: it gives the new window the keyboard focus, as the
        # tests expect of the window as it opens. Without one, keys go to whatever lies under the pointer.
        window_manager = subprocess.Popen(["openbox", "--sm-disable"], env=dict(os.environ, DISPLAY=display),
                                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL, start_new_session=True)
        env = dict(os.environ, DISPLAY=display, QUILLORY_APP=app, QUILLORY_ACCEPTANCE_OUT=str(out),
                   NO_AT_BRIDGE="0", LANG=os.environ.get("LANG", "C.UTF-8") or "C.UTF-8")
        env.pop("QT_QPA_PLATFORM", None)  # ./test.sh sets offscreen; the desktop here is a real X display
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.pop("AT_SPI_BUS_ADDRESS", None)
        if env["LANG"] in ("C", "POSIX"):
            env["LANG"] = "C.UTF-8"
        print(f"run_acceptance: display {display}, program {app}, output {out}", flush=True)
        inner = subprocess.Popen(["dbus-run-session", "--", sys.executable, __file__, "--inner", *args.tests],
                                 env=env, stdin=subprocess.DEVNULL, start_new_session=True)
        try:
            return inner.wait()
        finally:
            stop(inner)
    finally:
        if window_manager is not None:
            stop(window_manager)
        stop(xvfb)


def inner(tests):
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        deadline = time.monotonic() + 20
        # Asked without activating it: a question to org.a11y.Bus itself would start a second launcher.
        while b"boolean true" not in subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                 "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"], capture_output=True).stdout:
            if time.monotonic() > deadline or bus.poll() is not None:
                print("run_acceptance: the accessibility bus did not start", file=sys.stderr)
                return 2
            time.sleep(0.1)
        sys.path.insert(0, str(HERE))
        import unittest
        suite = unittest.defaultTestLoader.loadTestsFromNames(tests)
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
        return 0 if result.wasSuccessful() else 1
    finally:
        stop(bus)


def main():
    # A run that is stopped (ctest's time limit, Ctrl+C) still ends what it started, in the finally blocks.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    if "--inner" in sys.argv:
        return inner([a for a in sys.argv[1:] if a != "--inner"])
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--app")
    parser.add_argument("--out")
    parser.add_argument("tests", nargs="+")
    return outer(parser.parse_args())


if __name__ == "__main__":
    sys.exit(main())
