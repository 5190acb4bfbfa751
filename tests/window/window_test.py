#!/usr/bin/env python3
"""Runs one maze program at one size and seed under the X server named by DISPLAY, and
checks what its user sees: the console transcript, the window's title, WM_CLASS and placement, the
maze in its pixels (rebuilt from them and compared with the maze the seed must give), and
the space bar switching the red solution line on and off while other keys do nothing, the
picture stretching with the window when it is resized within the screen, and the window
taken back within the screen when made larger than it, and how the run ends: destroying
the window ends it with status 0, killing its X connection with status 10.

    window_test.py --program build/maze_serial --size 20x10 --seed 1000000000 [--ending kill]
        [--output-closed] [--mouse]

With --mouse the wheel zooms in about a point away from the centre, a left drag pans, and
the wheel zooms all the way out again, to the full view's very pixels.

With --output-closed the program starts with its standard output closed; everything but
the transcript is checked as usual.

With --watch PACE the program runs with --watch --pace PACE --seed SEED, and the window is
captured every few hundredths of a second while it shows the carving and the solving: the
walls standing only ever fewer, through many states, from the closed grid to the maze; the
carving about (cells - 1) / PACE seconds long; the solver's cells shaded, entered and backed
out of, and its red path moving. Everything else is checked as usual once it is solved, and
the picture is then the one a run without --watch shows, pixel for pixel.
"""

import argparse
import os
import re
import sys
import time

from carving_oracle import carved_maze, check_random_source
from maze_run import MazeRun, find_faketime_library
from picture_reader import picture_problems, rebuild_maze
from solver_oracle import solve
from test_log import TestLog, maze_size
from maze_layout import interior_walls
from xwd_image import RED
from transcript import DONE_GENERATING, PRESS_SPACE, expected_transcript
from window_placement import expected_placement
import view_oracle
import x_display

SCREEN = (1280, 1024, 24)
TITLE = "Maze"
WINDOW_TIMEOUT = 20.0  # seconds; generous, since ctest -j2 shares two cores with other tests
OUTPUT_TIMEOUT = 20.0
PICTURE_TIMEOUT = 10.0
SETTLE_TIMEOUT = 2.0  # for windows of ended programs to leave the display
ENDING_TIMEOUT = 5.0  # for the program to end once its window or connection is gone
WINDOW_SYSTEM_FAILURE = 10
# The show's shading, as the window shows the colours it is drawn in, within a step of rounding.
ENTERED_COLOUR = (179, 217, 255)
LEFT_COLOUR = (255, 219, 153)
COLOUR_REACH = 2
SHOW_CAPTURE_SECONDS = 0.03
RESIZED = (700, 500)  # neither proportion of any tested window, so stretching shows
BEYOND_SCREEN = (3000, 2500)  # larger than the screen both ways


def peak_resident_kib(pid):
    """The process's high-water mark of resident memory (VmHWM)."""
    with open("/proc/%d/status" % pid) as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))


def under_thread_sanitizer(pid):
    """Whether the process runs with ThreadSanitizer's runtime, whose shadow memory grows by
    more than the program's own with every byte the program touches."""
    with open("/proc/%d/maps" % pid) as maps:
        return any("libtsan" in line for line in maps)


class Failed(Exception):
    """A check failed in a way that makes the later steps meaningless."""


class WindowTest(TestLog):
    def __init__(self, arguments):
        super().__init__()
        self.program = arguments.program
        self.width, self.height = arguments.size
        self.seed = arguments.seed
        self.faketime_library = find_faketime_library(arguments.faketime_library)
        self.ending = arguments.ending
        self.output_closed = arguments.output_closed
        self.mouse = arguments.mouse
        self.pace = arguments.watch
        self.final_image = None

    def run(self):
        check_random_source()
        shown_maze = None
        windows_before = x_display.settled_windows(TITLE, SETTLE_TIMEOUT)
        window = None
        # The fake clock's library opens a file of its own before the program starts, which
        # would take a closed descriptor's number. Without it the seed is the calendar second
        # the program started in, one of those the start spans.
        fixed_seed = None if self.output_closed else self.seed
        first_second = int(time.time())
        if self.pace:
            # The seed given on the command line, the clock left as it is.
            arguments = ["--watch", "--pace", str(self.pace), "--seed", str(self.seed)]
            fixed_seed = None
        else:
            arguments = []
        with MazeRun(self.program, self.width, self.height, fixed_seed, self.faketime_library,
                     self.output_closed, arguments) as run:
            try:
                window = x_display.wait_for_new_window(TITLE, windows_before, run.process, WINDOW_TIMEOUT)
                # Shown, the window can be drawn: its first picture is due from here.
                shown_at = time.monotonic()
                self.note("window %s is up" % window)
                seeds = [self.seed] if fixed_seed is not None or self.pace else range(first_second,
                                                                                       int(time.time()) + 1)
                if self.pace:
                    self.check_show(run, window, carved_maze(self.width, self.height, self.seed))
                self.check_placement(window)
                if self.output_closed:
                    # Left closed, descriptor 1 would be taken by the X connection and the
                    # console text written into it.
                    output = os.readlink("/proc/%d/fd/1" % run.process.pid)
                    if output != "/dev/null":
                        self.fail("with standard output closed, descriptor 1 is %s, not /dev/null" % output)
                    # The solver's lines cannot be watched; a maze this small is solved long before.
                    time.sleep(1.0)
                elif not run.wait_for_output(PRESS_SPACE.encode(), OUTPUT_TIMEOUT):
                    self.fail("the transcript never ended with %r" % PRESS_SPACE,
                              ["standard output so far: %r" % run.output(), "standard error: %r" % run.errors()])
                    raise Failed()

                candidates = [(seed, carved_maze(self.width, self.height, seed)) for seed in seeds]
                chosen = {}

                def problems_of(image):
                    """Nothing when the picture is the maze of one of the seeds, which is then chosen."""
                    reports = [(seed, maze, picture_problems(image, maze)) for seed, maze in candidates]
                    seed, maze, problems = next((report for report in reports if not report[2]), reports[0])
                    chosen.update(seed=seed, maze=maze)
                    return problems

                image, problems = x_display.wait_for_picture(window, problems_of, PICTURE_TIMEOUT, since=shown_at)
                self.note("first picture read")
                self.seed, expected_maze = chosen["seed"], chosen["maze"]
                self.final_image = image
                if problems:
                    self.fail("the maze picture differs from the maze seed %d must give" % self.seed,
                              problems + self.covering_note(window))
                shown_maze = rebuild_maze(image, self.width, self.height)
                perfection = shown_maze.perfection_problems()
                if perfection:
                    self.fail("the maze in the window is not perfect", perfection)
                differences = shown_maze.differences(expected_maze)
                if differences:
                    self.fail("the maze in the window is not the one seed %d gives" % self.seed, differences)
                red_path = [self.width * self.height - 1] + solve(expected_maze).solution_cells

                # Each step ends with a space press, so its redraw proves the keys before it were handled.
                self.keys_then_picture(window, ["a", "space"], expected_maze, red_path,
                                       "'a' then space: the red solution line")
                self.keys_then_picture(window, ["space"], expected_maze, None,
                                       "second space: the red line gone, the walls still black")
                self.keys_then_picture(window, ["Return", "space"], expected_maze, red_path,
                                       "Return then space: the red solution line again")
                if self.mouse:
                    self.check_mouse(window, expected_maze, red_path)
                self.check_resized(window, expected_maze, red_path, run.process)
            except Failed:
                pass
            except x_display.DisplayError as error:
                self.fail(str(error))

            # Checked last, so that anything printed while the keys were handled counts too.
            # The text follows from the maze on screen: what its solver must say about it.
            if shown_maze is not None and not self.output_closed:
                expected_text = expected_transcript(solve(shown_maze)).encode()
                if run.output() != expected_text:
                    self.fail("the transcript differs", ["expected: %r" % expected_text,
                                                         "got:      %r" % run.output()])

            if run.process.poll() is not None:
                self.fail("the program ended (status %d) while its window should stay open" % run.process.returncode)
            elif window is not None:
                self.end_run(run, window)
            # A run that goes well says nothing on standard error but Xlib's word on a killed
            # connection: no fatal message, and no sanitizer report when built with one. Xlib
            # words it by the error number the failed read leaves: a broken connection, or a
            # fatal IO error (when a GL driver's file lookup left its number behind, as a cold
            # shader cache does).
            display = re.escape(os.environ["DISPLAY"].encode())
            expected_errors = re.compile(b"")
            if self.ending == "kill":
                expected_errors = re.compile(
                    b"X connection to %s broken \\(explicit kill or server shutdown\\)\\.\r\n"
                    b"|XIO:  fatal IO error \\d+ \\([^)]*\\) on X server \"%s\"\r\n"
                    b"      after \\d+ requests \\(\\d+ known processed\\) with \\d+ events remaining\\.\r\n"
                    % (display, display))
            if not expected_errors.fullmatch(run.errors()):
                self.fail("standard error differs", ["expected: %r" % expected_errors.pattern,
                                                     "got:      %r" % run.errors()])

        if window is not None:
            x_display.wait_until_closed(window, SETTLE_TIMEOUT)
        if self.pace and self.final_image is not None:
            self.check_same_as_unwatched()
        self.note("%s %dx%d seed %d: %s" % (self.program, self.width, self.height, self.seed,
                                            "FAILED" if self.failures else "passed"))
        return not self.failures

    def check_show(self, run, window, maze):
        """Captures the window while it shows the carving and then the solving, until the
        solver's last line; checks what each stage shows and how long the carving takes."""
        found_at = time.monotonic()
        all_walls = len(interior_walls(self.width, self.height))
        carved_walls = all_walls - (self.width * self.height - 1)
        standing = []  # the walls standing in each capture of the carving
        shaded = {"entered": 0, "left": 0}  # captures showing each shading
        red_paths = set()  # the red pixels of each capture of the solving
        deadline = found_at + OUTPUT_TIMEOUT + 2 * self.width * self.height / self.pace
        while not run.output().endswith(PRESS_SPACE.encode()) and time.monotonic() < deadline:
            image = x_display.capture(window)
            if max(image.green, default=0) > 0:  # drawn (before the first frame Xvfb shows black)
                entered = image.colour_marks(ENTERED_COLOUR, COLOUR_REACH).count(1)
                left = image.colour_marks(LEFT_COLOUR, COLOUR_REACH).count(1)
                red = image.colour_marks(RED)
                if entered or left or red.count(1):
                    shaded["entered"] += entered > 0
                    shaded["left"] += left > 0
                    red_paths.add(red)
                elif not red_paths:
                    standing.append(all_walls
                                    - len(rebuild_maze(image, self.width, self.height).open_passages))
            time.sleep(SHOW_CAPTURE_SECONDS)
        if not run.output().endswith(PRESS_SPACE.encode()):
            self.fail("the show never ended: the solver's last line did not come")
            raise Failed()
        self.note("%d captures of the carving, standing walls %s .. %s; %d of the solving, %d red paths"
                  % (len(standing), standing[:1], standing[-1:], sum(shaded.values()), len(red_paths)))
        if standing != sorted(standing, reverse=True):
            self.fail("the walls standing grew between captures of the carving: %s" % standing)
        if not standing or standing[0] < all_walls - all_walls // 10:
            self.fail("the carving was not seen from the closed grid of %d walls: first %s" % (all_walls, standing[:1]))
        if not standing or standing[-1] < carved_walls:
            self.fail("fewer walls than the maze has stood during the carving: %s, the maze %d"
                      % (standing[-1:], carved_walls))
        if len(set(standing)) < 20:
            self.fail("the carving showed only %d states" % len(set(standing)))
        if shaded["entered"] == 0 or shaded["left"] == 0:
            self.fail("the solving never showed cells entered and backed out of: %r" % shaded)
        if len(red_paths) < 3:
            self.fail("the red path moved through only %d states" % len(red_paths))
        # The program starts carving once its window is mapped, just before the window was found.
        carved_at = run.output_time(DONE_GENERATING.encode())
        expected = (self.width * self.height - 1) / self.pace
        if carved_at is None or not 0.8 * expected <= carved_at - found_at <= 1.25 * expected + 0.5:
            self.fail("the carving took %s s from the window's showing, expected about %.2f s"
                      % (None if carved_at is None else "%.2f" % (carved_at - found_at), expected))
        else:
            self.note("carved in %.2f s (%.2f s expected)" % (carved_at - found_at, expected))

    def check_same_as_unwatched(self):
        """The same seed without --watch: its first picture the shown maze's, pixel for pixel."""
        windows_before = x_display.settled_windows(TITLE, SETTLE_TIMEOUT)
        with MazeRun(self.program, self.width, self.height, None, self.faketime_library,
                     arguments=["--seed", str(self.seed)]) as run:
            try:
                window = x_display.wait_for_new_window(TITLE, windows_before, run.process, WINDOW_TIMEOUT)
                if not run.wait_for_output(PRESS_SPACE.encode(), OUTPUT_TIMEOUT):
                    self.fail("the run without --watch never offered its solution")
                    return
                _, problems = x_display.wait_for_picture(
                    window, lambda image: [] if image.same_pixels(self.final_image) else ["other pixels"],
                    PICTURE_TIMEOUT)
                if problems:
                    self.fail("the shown maze's picture differs from a run's without --watch")
                else:
                    self.note("the same pixels as a run without --watch")
                x_display.destroy(window)
                x_display.wait_until_closed(window, SETTLE_TIMEOUT)
            except x_display.DisplayError as error:
                self.fail(str(error))

    def end_run(self, run, window):
        """Destroys the window or kills the program's X connection; either way the program
        must end by itself, with 0 for a destroyed window, 10 for a lost connection."""
        if self.ending == "close":
            x_display.destroy(window)
            expected = 0
        else:
            x_display.kill_client(window)
            expected = WINDOW_SYSTEM_FAILURE
        status = run.wait(ENDING_TIMEOUT)
        if status != expected:
            self.fail("after xdotool window%s the program %s, expected status %d"
                      % (self.ending, "still runs" if status is None else "ended with status %d" % status,
                         expected))
        else:
            self.note("window%s: ended with status %d" % (self.ending, status))

    def check_placement(self, window):
        info = x_display.window_info(window)
        if info["title"] != TITLE:
            self.fail("window title is %r, expected %r" % (info["title"], TITLE))
        names = x_display.window_class(window)
        if names != (os.path.basename(self.program), TITLE):
            self.fail("WM_CLASS is %r, expected the program's name and %r" % (names, TITLE))
        expected = expected_placement(SCREEN[0], SCREEN[1], self.width, self.height)
        shown = (info["x"], info["y"], info["width"], info["height"])
        if shown != expected:
            self.fail("window is %dx%d at (%d, %d), expected %dx%d at (%d, %d)"
                      % (shown[2], shown[3], shown[0], shown[1], expected[2], expected[3], expected[0], expected[1]))

    def keys_then_picture(self, window, keys, maze, red_path, description):
        for key in keys:
            x_display.press_key(window, key)
        _, problems = x_display.wait_for_picture(
            window, lambda image: picture_problems(image, maze, red_path), PICTURE_TIMEOUT)
        if problems:
            self.fail("after %s" % description, problems + self.covering_note(window))
            raise Failed()
        self.note("after %s: as expected" % description)

    def check_mouse(self, window, maze, red_path):
        """Zoom in, pan and zoom out as a user would; nothing may be printed for it."""
        full_image = x_display.capture(window)
        info = x_display.window_info(window)
        size = (info["width"], info["height"])
        view = view_oracle.full_view(self.width, self.height)

        def expect(description):
            rectangle = view_oracle.rectangle(self.width, self.height, view)
            _, problems = x_display.wait_for_picture(
                window, lambda image: picture_problems(image, maze, red_path, rectangle), PICTURE_TIMEOUT)
            if problems:
                self.fail("after %s the window does not show cells %.2f,%.2f .. %.2f,%.2f" % ((description,) + rectangle),
                          problems + self.covering_note(window))
                raise Failed()
            self.note("after %s: cells %.2f,%.2f .. %.2f,%.2f as expected" % ((description,) + rectangle))

        pointer = (size[0] // 3, size[1] * 2 // 3)
        notches = 3
        x_display.turn_wheel(window, pointer, notches)
        for _ in range(notches):
            view = view_oracle.zoomed(self.width, self.height, view, 1, pointer, size)
        expect("%d wheel notches forward at %s" % (notches, pointer))

        start, end = (size[0] // 2, size[1] // 2), (size[0] // 2 + size[0] // 7, size[1] // 2 - size[1] // 9)
        x_display.drag(window, start, end)
        view = view_oracle.dragged(self.width, self.height, view, start, end, size)
        expect("a left drag from %s to %s" % (start, end))

        x_display.turn_wheel(window, pointer, -(view_oracle.most_zoom_steps(self.width, self.height) + 2))
        _, problems = x_display.wait_for_picture(
            window, lambda image: [] if image.same_pixels(full_image) else ["not the full view's pixels"],
            PICTURE_TIMEOUT)
        if problems:
            self.fail("zoomed all the way out, the window differs from the full view before zooming")
            raise Failed()
        self.note("zoomed all the way out: the full view's pixels again")

    def check_resized(self, window, maze, red_path, process):
        """Within the screen the whole picture stretches onto the new size, as GLUT's own
        handling has it. Made larger than the screen (no window manager here to stop it), the
        window is taken back within the screen and drawn there: it is never drawn larger, so
        the driver's buffers never grow past the screen's size that the memory check counts."""
        peak_before = peak_resident_kib(process.pid)
        for size, expected in ((RESIZED, RESIZED), (BEYOND_SCREEN, (SCREEN[0], SCREEN[1]))):
            # In the screen's corner, as large as the screen, all of it shows.
            x_display.move(window, 0, 0)
            x_display.resize(window, *size)

            def problems_of(image):
                if (image.width, image.height) != expected:
                    return ["window is %dx%d, expected %dx%d" % ((image.width, image.height) + expected)]
                return picture_problems(image, maze, red_path)

            _, problems = x_display.wait_for_picture(window, problems_of, PICTURE_TIMEOUT)
            if problems:
                self.fail("after resizing the window to %dx%d" % size, problems + self.covering_note(window))
                return
            self.note("resized to %dx%d: the picture stretched over %dx%d" % (size + expected))
        # Drawn at that size even once, the colour buffer alone would have grown by this much.
        # Under ThreadSanitizer the buffers the window legitimately makes at the screen's size
        # come with shadow memory that passes that: the growth is the program's only without it.
        if under_thread_sanitizer(process.pid):
            self.note("resident memory not judged under ThreadSanitizer, whose shadow memory grows with it")
            return
        oversized_buffer = BEYOND_SCREEN[0] * BEYOND_SCREEN[1] * 4 // 1024
        growth = peak_resident_kib(process.pid) - peak_before
        if growth >= oversized_buffer:
            self.fail("the peak resident memory grew by %d KiB while the window was larger than the screen "
                      "(a colour buffer of that size is %d KiB)" % (growth, oversized_buffer))

    def covering_note(self, window):
        covering = x_display.windows_covering(window)
        return ["other windows overlap this one: " + ", ".join(covering)] if covering else []


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, help="path of maze_serial or maze_threaded")
    parser.add_argument("--size", required=True, type=maze_size, help="WIDTHxHEIGHT in cells")
    parser.add_argument("--seed", required=True, type=int, help="calendar time the program is started at")
    parser.add_argument("--ending", choices=["close", "kill"], default="close",
                        help="destroy the window, or kill the program's X connection")
    parser.add_argument("--output-closed", action="store_true", help="start with standard output closed")
    parser.add_argument("--mouse", action="store_true", help="also zoom and pan with the mouse")
    parser.add_argument("--watch", type=int, default=0, metavar="PACE",
                        help="run with --watch at PACE steps a second, and check the show")
    parser.add_argument("--faketime-library", help="path of libfaketimeMT.so.1 (found with dpkg if not given)")
    arguments = parser.parse_args()
    try:
        x_display.require_display(*SCREEN)
    except x_display.DisplayError as error:
        print("FAIL: %s" % error, file=sys.stderr)
        return 1
    return 0 if WindowTest(arguments).run() else 1


if __name__ == "__main__":
    sys.exit(main())
