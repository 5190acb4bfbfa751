#!/usr/bin/env python3
"""The memory check weighs the window on the screen it will open on, read before carving
from the display GLUT will use, and reading it says nothing a run did not say before.

    screen_size_test.py --program build/maze_serial --bench build/bench/maze_bench

Starts an X server of its own with a screen of 7680 x 4320, which asks its clients for a
cookie, beside the 1280 x 1024 one named by DISPLAY. Under a data limit (ulimit -d) halfway
between the program's estimates for a 200 x 200 maze on the two screens:
- named with GLUT's -display, the large screen's window does not fit: the run ends with
  status 1 right after "Generating maze...", before carving;
- on DISPLAY's screen the same run opens its window, which is then closed (status 0).
Without the cookie the large screen's server refuses the connection: Xlib says so once,
after the whole transcript, beside GLUT's own message, and the run ends with status 10, as
it did before the screen was read ahead.
"""

import argparse
import os
import re
import resource
import subprocess
import sys
import tempfile
import time

from maze_run import _die_with_parent
from test_log import TestLog
from transcript import ADVICE, BANNER, GENERATING
import x_display

LARGE_SCREEN = (7680, 4320)
SMALL_SCREEN = (1280, 1024)
SIZE = "200x200"
TITLE = "Maze"
RUN_TIMEOUT = 60.0
FATAL_MEMORY = b"A fatal error has occured in the program and it is \t\t\t\t\texiting with level 1\n"
WINDOW_SYSTEM_FAILURE = 10


def display_taken(number):
    """As tools/run-tests judges it: a lock file, a socket file or an abstract socket."""
    if os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number):
        return True
    with open("/proc/net/unix") as sockets:
        return any(line.rstrip().endswith("@/tmp/.X11-unix/X%d" % number) for line in sockets)


class CookieServer:
    """An Xvfb with a screen of the given size that admits only clients with its cookie."""

    def __init__(self, width, height, directory):
        self.authority = os.path.join(directory, "authority")
        number = next(number for number in range(150, 1000) if not display_taken(number))
        self.name = ":%d" % number
        cookie = os.urandom(16).hex()
        subprocess.run(["xauth", "-f", self.authority, "add", self.name, ".", cookie], check=True,
                       capture_output=True)
        self.process = subprocess.Popen(["Xvfb", self.name, "-auth", self.authority, "-screen", "0",
                                         "%dx%dx24" % (width, height), "-nolisten", "tcp", "-noreset"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        preexec_fn=_die_with_parent)
        deadline = time.monotonic() + 10
        while subprocess.run(["xdpyinfo", "-display", self.name], env=dict(os.environ, XAUTHORITY=self.authority),
                             capture_output=True).returncode != 0:
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise x_display.DisplayError("Xvfb %s did not start" % self.name)
            time.sleep(0.05)

    def stop(self):
        # Terminated, not killed: a killed Xvfb leaves its lock file behind, and each run would
        # take the next display number for good.
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def data_estimate_mib(bench, program, width, height):
    output = subprocess.run([bench, "--estimate", SIZE, "--screen", "%dx%d" % (width, height)],
                            capture_output=True, text=True, check=True).stdout
    key = "estimated_run_data_mib" if os.path.basename(program) == "maze_serial" else "estimated_threaded_run_data_mib"
    return float(re.search(r"%s=([\d.]+)" % key, output).group(1))


def start(program, arguments, environment, data_limit=None, merged=False):
    def limit_and_die_with_parent():
        _die_with_parent()
        if data_limit is not None:
            resource.setrlimit(resource.RLIMIT_DATA, (data_limit, resource.getrlimit(resource.RLIMIT_DATA)[1]))

    return subprocess.Popen([program] + arguments, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT if merged else subprocess.PIPE, env=environment,
                            preexec_fn=limit_and_die_with_parent)


class ScreenSizeTest(TestLog):
    def __init__(self, arguments):
        super().__init__()
        self.program = arguments.program
        self.bench = arguments.bench

    def run(self, server):
        with_cookie = dict(os.environ, XAUTHORITY=server.authority)
        small = data_estimate_mib(self.bench, self.program, *SMALL_SCREEN)
        large = data_estimate_mib(self.bench, self.program, *LARGE_SCREEN)
        if large <= small + 20:
            self.fail("the data estimate of %s on a %dx%d screen is %.1f MiB, barely more than %.1f on a %dx%d one"
                      % ((SIZE,) + LARGE_SCREEN + (large, small) + SMALL_SCREEN))
            return False
        limit = int((small + large) / 2 * 1024 * 1024)
        self.note("data estimates %.1f and %.1f MiB; ulimit -d %d KiB" % (small, large, limit // 1024))

        refused = start(self.program, ["--size", SIZE, "-display", server.name], with_cookie, limit)
        output, errors = refused.communicate(timeout=RUN_TIMEOUT)
        expected = (BANNER + ADVICE + GENERATING).encode()
        if (refused.returncode, output, errors) != (1, expected, FATAL_MEMORY):
            self.fail("on the %dx%d screen of -display %s the run ended with %d" % (LARGE_SCREEN + (server.name,
                                                                                      refused.returncode)),
                      ["expected status 1, standard output %r and standard error %r" % (expected, FATAL_MEMORY),
                       "got standard output %r" % output, "and standard error %r" % errors])
        else:
            self.note("-display %s (%dx%d): refused with status 1 before carving" % ((server.name,) + LARGE_SCREEN))

        windows_before = x_display.settled_windows(TITLE, 2.0)
        shown = start(self.program, ["--size", SIZE], with_cookie, limit)
        try:
            window = x_display.wait_for_new_window(TITLE, windows_before, shown, RUN_TIMEOUT)
            x_display.destroy(window)
            output, errors = shown.communicate(timeout=RUN_TIMEOUT)
            if shown.returncode != 0 or errors:
                self.fail("on DISPLAY's screen the run ended with %d, saying %r" % (shown.returncode, errors))
            else:
                self.note("DISPLAY (%dx%d): the window opened within the same limit" % SMALL_SCREEN)
        except x_display.DisplayError as error:
            self.fail("on DISPLAY's %dx%d screen, within the same limit: %s" % (SMALL_SCREEN + (error,)))
        finally:
            if shown.poll() is None:
                shown.kill()
                shown.communicate()

        turned_away = start(self.program, ["--size", "2x1", "-display", server.name],
                            dict(os.environ, XAUTHORITY=os.devnull), merged=True)
        said, _ = turned_away.communicate(timeout=RUN_TIMEOUT)
        solved = b"Press spacebar to see my solution to the maze\n" if "serial" in self.program else \
            b"Done generating maze...\n"
        refusal = b"Authorization required, but no authorization protocol specified\n"
        glut = ("freeglut (%s): failed to open display '%s'\n" % (self.program, server.name)).encode()
        before, _, after = said.partition(refusal)
        if (turned_away.returncode != WINDOW_SYSTEM_FAILURE or not before.endswith(solved)
                or refusal in after or not after.endswith(glut)):
            self.fail("refused a connection, the run ended with %d" % turned_away.returncode,
                      ["expected status %d, Xlib's refusal once after %r and GLUT's %r last"
                       % (WINDOW_SYSTEM_FAILURE, solved, glut), "got %r" % said])
        else:
            self.note("without the cookie: Xlib's refusal once, after the transcript, and status 10")
        return not self.failures


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, help="path of maze_serial or maze_threaded")
    parser.add_argument("--bench", required=True, help="path of maze_bench")
    arguments = parser.parse_args()
    try:
        x_display.require_display(SMALL_SCREEN[0], SMALL_SCREEN[1], 24)
    except x_display.DisplayError as error:
        print("FAIL: %s" % error, file=sys.stderr)
        return 1
    test = ScreenSizeTest(arguments)
    with tempfile.TemporaryDirectory() as directory:
        server = CookieServer(LARGE_SCREEN[0], LARGE_SCREEN[1], directory)
        try:
            passed = test.run(server)
        finally:
            server.stop()
    test.note("%s: %s" % (arguments.program, "passed" if passed else "FAILED"))
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
