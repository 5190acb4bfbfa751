#!/usr/bin/env python3
"""How soon the window answers, seen from outside: a change's picture, and the run's end.

    bench/outside_latency.py --build build [--sizes 2000 4000] [--programs maze_serial]
        [--closes 10]

Runs each program at each square size under the X server named by DISPLAY (or an Xvfb of
1280x1024x24 of its own). Once the first frame has settled, xdotool turns the wheel one notch
at a time from the full view to the most zoom and back, presses space at some zooms and drags
at others, as a user would, and the time from starting xdotool to the first change of the
window's pixels is taken for each (xdotool's own start, a few milliseconds, included; a
space press while the solution line is out of view changes nothing and is not counted). Then
--closes runs of each program are started and their window destroyed at a random moment
between its appearance and a second after its first frame (half of them right after a wheel
notch), and the time from the destruction to the end of the process is taken. Prints one
line per program and size:

    maze_serial 4000x4000 change_ms_median=... change_ms_max=... (the worst change) changes=... close_ms_median=...
        close_ms_max=... closes=... close_statuses=0,0,...
"""

import argparse
import ctypes
import os
import random
import statistics
import subprocess
import sys
import time

import first_frame

_X = first_frame._X
_X.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_X.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]

TIMEOUT_SECONDS = 120.0


def start_run(connection, program, size):
    """The program started with the size typed; returns (run, window) once its window is mapped."""
    windows_before = set(connection.top_level_windows())
    run = first_frame.ProgramRun(program)
    run.wait_for(b"Please enter the width of the maze: ", TIMEOUT_SECONDS)
    run.process.stdin.write(b"%d\n%d\n" % (size, size))
    run.process.stdin.close()
    deadline = time.monotonic() + TIMEOUT_SECONDS
    while time.monotonic() < deadline:
        for window in connection.top_level_windows():
            if window not in windows_before and connection.name(window) == "Maze" and connection.viewable_size(window):
                return run, window
        time.sleep(0.005)
    raise RuntimeError("no window")


def settle(connection, window, size, quiet=0.5):
    """The window's pixels once they have not changed for quiet seconds."""
    latest = connection.pixels(window, *size)
    since = time.monotonic()
    while time.monotonic() - since < quiet:
        time.sleep(0.02)
        current = connection.pixels(window, *size)
        if current != latest:
            latest, since = current, time.monotonic()
    return latest


def change_time(connection, window, size, command):
    """Milliseconds from starting the command to the window's first change."""
    before = connection.pixels(window, *size)
    started = time.monotonic()
    # Watched while xdotool runs: it sends the press at once but waits before the release.
    sender = subprocess.Popen(command)
    try:
        while time.monotonic() - started < 2:
            if connection.pixels(window, *size) != before:
                return (time.monotonic() - started) * 1000
        return None
    finally:
        sender.wait()


def measure_changes(connection, program, size):
    run, window = start_run(connection, program, size)
    try:
        run.wait_for(b"Press spacebar", TIMEOUT_SECONDS)
        dimensions = connection.viewable_size(window)
        settle(connection, window, dimensions)
        x, y = dimensions[0] * 3 // 8, dimensions[1] * 5 // 8
        identity = str(window)
        wheel = lambda button: ["xdotool", "mousemove", "--window", identity, str(x), str(y), "click", button]
        times = []
        notches = 0
        while True:
            elapsed = change_time(connection, window, dimensions, wheel("4"))
            if elapsed is None:
                break  # the most zoom: the notch changes nothing
            times.append((elapsed, "notch %d in" % (notches + 1)))
            notches += 1
            settle(connection, window, dimensions, 0.2)
            # The solution line shows in every view: it runs through the whole maze, and the
            # notches zoom in about a point near it only by chance, so space is pressed twice
            # and a change that does not come (the line out of view) is not counted.
            if notches % 4 == 1:
                for _ in range(2):
                    elapsed = change_time(connection, window, dimensions,
                                          ["xdotool", "key", "--window", identity, "space"])
                    if elapsed is not None:
                        times.append((elapsed, "space at %d notches" % notches))
                    settle(connection, window, dimensions, 0.2)
            if notches % 4 == 3:
                elapsed = change_time(connection, window, dimensions,
                                      ["xdotool", "mousemove", "--window", identity, str(x), str(y), "mousedown",
                                       "1", "mousemove", "--window", identity, str(x + 60), str(y - 40),
                                       "mouseup", "1"])
                times.append((elapsed if elapsed is not None else float("inf"), "drag at %d notches" % notches))
                settle(connection, window, dimensions, 0.2)
        for notch in range(notches):
            elapsed = change_time(connection, window, dimensions, wheel("5"))
            times.append((elapsed if elapsed is not None else float("inf"), "notch %d out" % (notch + 1)))
            settle(connection, window, dimensions, 0.2)
        return times
    finally:
        run.stop()


def measure_close(connection, program, size, after_notch):
    """Milliseconds from destroying the window to the process's end, and its status."""
    run, window = start_run(connection, program, size)
    try:
        dimensions = connection.viewable_size(window)
        if after_notch:
            run.wait_for(b"Press spacebar", TIMEOUT_SECONDS)
            settle(connection, window, dimensions, 0.3)
            subprocess.run(["xdotool", "mousemove", "--window", str(window), "100", "100", "click", "4"], check=True)
            time.sleep(random.uniform(0, 0.05))
        else:
            time.sleep(random.uniform(0, 1.0))
        _X.XDestroyWindow(connection.display, window)
        _X.XSync(connection.display, 0)
        destroyed = time.monotonic()
        while run.process.poll() is None and time.monotonic() - destroyed < 10:
            time.sleep(0.001)
        return (time.monotonic() - destroyed) * 1000, run.process.poll()
    finally:
        run.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build")
    parser.add_argument("--programs", nargs="+", default=["maze_serial", "maze_threaded"])
    parser.add_argument("--sizes", nargs="+", type=int, default=[2000, 4000])
    parser.add_argument("--closes", type=int, default=10)
    arguments = parser.parse_args()
    with first_frame.display_connection() as connection:
        for size in arguments.sizes:
            for name in arguments.programs:
                program = os.path.join(arguments.build, name)
                changes = measure_changes(connection, program, size)
                worst = max(changes)
                closes = [measure_close(connection, program, size, after_notch=i % 2 == 1)
                          for i in range(arguments.closes)]
                close_times = [elapsed for elapsed, _ in closes]
                print("%s %dx%d change_ms_median=%.0f change_ms_max=%.0f (%s) changes=%d close_ms_median=%.0f "
                      "close_ms_max=%.0f closes=%d close_statuses=%s"
                      % (name, size, size, statistics.median(elapsed for elapsed, _ in changes), worst[0], worst[1],
                         len(changes), statistics.median(close_times), max(close_times), len(closes),
                         ",".join(str(status) for _, status in closes)), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
