#!/usr/bin/env python3
"""Runs one maze program with a maze far finer than its window under the X server named by
DISPLAY, and checks what its user sees: the full view grey, its edges lighter where the
margin is, the red solution line from the entrance to the exit; captures taken while the
wheel turns notch by notch and while dragging, none of them mostly white or black while
cells are finer than the lines would be; zooming all the way out giving back the first
picture, every byte of every pixel; and the window closed ending the run with status 0.

    large_maze_test.py --program build/maze_serial --size 2000x2000 --seed 1000000000
        [--watch PACE --closes N --close-within SECONDS]

With --watch the run shows its carving and solving at PACE steps a second first: every
capture of the show once drawn is grey, never mostly white or black, and the show makes
progress, lighter as walls go; a wheel notch in and out meanwhile is followed. The checks
above then apply to the finished maze. With --closes, N more runs are each closed at a random
moment of their show, and must end with status 0 within SECONDS of it.
"""

import argparse
import random
import sys
import time

from maze_run import MazeRun, find_faketime_library
from transcript import PRESS_SPACE
import view_oracle
import x_display

TITLE = "Maze"
WINDOW_TIMEOUT = 60.0
PICTURE_TIMEOUT = 20.0
SETTLE_SECONDS = 0.3  # the window unchanged this long: the view is complete
CAPTURES_PER_NOTCH = 4
# Cells narrower than this many pixels, across or down, are finer than the lines.
FINEST_LINES_PIXELS_PER_CELL = 2.0
RED = (255, 0, 0)


class Failed(Exception):
    pass


def shares(image, left=0, top=0, right=None, bottom=None):
    """Mean brightness, and the shares of white and of black pixels, in a part of an image."""
    right = image.width if right is None else right
    bottom = image.height if bottom is None else bottom
    total = white = black = 0
    count = 0
    for y in range(top, bottom):
        start, end = y * image.width + left, y * image.width + right
        row = image.green[start:end]
        total += sum(row)
        white += row.count(255)
        black += row.count(0)
        count += end - start
    return total / 255.0 / count, white / count, black / count


def drawn(image):
    """Whether the window shows a picture: all black it is not drawn yet, all white it shows
    the ground it is cleared to while its first view is made (every picture of a maze has its
    white margin and something darker)."""
    return max(image.green, default=0) > 0 and min(image.green, default=255) < 255


def settled(window, timeout=PICTURE_TIMEOUT):
    """The window's picture once it has stopped changing. A window not drawn yet is not
    settled, however long it stays so: a slow build computes a large maze's first view for
    longer than the window takes to settle."""
    deadline = time.monotonic() + timeout
    image = x_display.capture(window)
    since = time.monotonic()
    while time.monotonic() < deadline:
        time.sleep(0.05)
        latest = x_display.capture(window)
        if not latest.same_bytes(image):
            image, since = latest, time.monotonic()
        elif time.monotonic() - since >= SETTLE_SECONDS and drawn(image):
            return image
    raise Failed("the window never stopped changing" if drawn(image) else "the window was never drawn")


def red_near(image, x, y, reach):
    return any(image.contains(x + dx, y + dy) and image.colour(x + dx, y + dy) == RED
               for dy in range(-reach, reach + 1) for dx in range(-reach, reach + 1))


class LargeMazeTest:
    def __init__(self, arguments):
        self.program = arguments.program
        self.width, self.height = arguments.size
        self.seed = arguments.seed
        self.faketime_library = find_faketime_library(arguments.faketime_library)
        self.pace = arguments.watch
        self.closes = arguments.closes
        self.close_within = arguments.close_within
        self.failures = []

    def check(self, condition, text):
        if not condition:
            self.failures.append(text)
            print("FAIL: " + text, flush=True)
        return condition

    def is_fine(self, view, size):
        left, top, right, bottom = view_oracle.rectangle(self.width, self.height, view)
        return min(size[0] / (right - left), size[1] / (bottom - top)) < FINEST_LINES_PIXELS_PER_CELL

    def check_dense(self, image, what):
        mean, white, black = shares(image)
        self.check(white < 0.9 and black < 0.9,
                   "%s: a capture is mostly white or black (white %.2f, black %.2f, mean %.2f)"
                   % (what, white, black, mean))

    def run(self):
        windows_before = x_display.settled_windows(TITLE, 2.0)
        with MazeRun(self.program, self.width, self.height, self.seed, self.faketime_library,
                     arguments=self.show_arguments()) as run:
            try:
                # Carving the largest mazes takes most of a minute before the window opens.
                opening = WINDOW_TIMEOUT + self.width * self.height / 2e7
                window = x_display.wait_for_new_window(TITLE, windows_before, run.process, opening)
                if self.pace:
                    self.check_show(run, window, opening)
                if not run.wait_for_output(PRESS_SPACE.encode(), opening):
                    raise Failed("the solver never finished")
                if self.pace:
                    # The show's last frame, shaded and with the solver's red path, stays until the
                    # finished maze's picture, all grey, replaces it.
                    x_display.wait_for_picture(window, lambda image: [] if image.red == image.blue else ["shaded"],
                                               PICTURE_TIMEOUT)
                first = settled(window)
                size = (first.width, first.height)
                self.check_full_view(first)
                self.check_solution_line(window, first)
                self.check_notches_and_drags(window, size)
                x_display.turn_wheel(window, (size[0] // 2, size[1] // 2), -(view_oracle.most_zoom_steps(
                    self.width, self.height) + 2))
                last = settled(window)
                self.check(last.same_bytes(first),
                           "zoomed all the way out, the window's bytes differ from the first picture's (%s)"
                           % ("colours differ" if not last.same_pixels(first) else "the fourth byte differs"))
                x_display.destroy(window)
                status = run.wait(5.0)
                self.check(status == 0, "after the window was destroyed the program %s"
                           % ("still runs" if status is None else "ended with status %d" % status))
                self.check(run.errors() == b"", "standard error: %r" % run.errors())
            except (Failed, x_display.DisplayError) as error:
                self.check(False, str(error))
        for _ in range(self.closes):
            self.close_during_show()
        print("%s %dx%d: %s" % (self.program, self.width, self.height, "FAILED" if self.failures else "passed"))
        return not self.failures

    def show_arguments(self):
        return ["--watch", "--pace", str(self.pace)] if self.pace else []

    def check_show(self, run, window, timeout):
        """Captures the show until the solver's last line: once drawn, each grey and the
        show moving on; a notch in and out of the wheel midway."""
        deadline = time.monotonic() + timeout
        means = []
        notched = False
        while not run.output().endswith(PRESS_SPACE.encode()) and time.monotonic() < deadline:
            image = x_display.capture(window)
            if means or drawn(image):
                self.check_dense(image, "the show, capture %d" % (len(means) + 1))
                means.append(shares(image)[0])
            if len(means) == 5 and not notched:
                size = (image.width, image.height)
                x_display.turn_wheel(window, (size[0] // 2, size[1] // 2), 1)
                x_display.turn_wheel(window, (size[0] // 2, size[1] // 2), -1)
                notched = True
        print("the show: %d captures, mean brightness %s" % (len(means), sorted(set(means))[::10]), flush=True)
        self.check(len(set(means)) >= 5 and max(means) > means[0] + 0.05,
                   "the show went through %d pictures (5 at least), or grew no lighter as walls went" % len(set(means)))

    def close_during_show(self):
        """A run shown, its window destroyed at a random moment of the show."""
        windows_before = x_display.settled_windows(TITLE, 2.0)
        with MazeRun(self.program, self.width, self.height, self.seed, self.faketime_library,
                     arguments=self.show_arguments()) as run:
            try:
                window = x_display.wait_for_new_window(TITLE, windows_before, run.process, WINDOW_TIMEOUT)
                # Most of a show is its carving, a step a passage; the solving takes a fraction of it.
                time.sleep(random.uniform(0, 1.2 * (self.width * self.height - 1) / self.pace))
                shown = run.output().decode(errors="replace").count("\n")
                x_display.destroy(window)
                destroyed = time.monotonic()
                status = run.wait(5.0)
                ended = time.monotonic() - destroyed
                print("closed after %d lines of the console: status %s in %.3f s" % (shown, status, ended), flush=True)
                self.check(status == 0 and ended <= self.close_within,
                           "closed during the show, the program ended with status %s after %.2f s" % (status, ended))
                self.check(run.errors() == b"", "standard error: %r" % run.errors())
            except (Failed, x_display.DisplayError) as error:
                self.check(False, str(error))

    def check_full_view(self, image):
        mean, white, black = shares(image)
        print("full view: mean %.3f, white %.3f, black %.3f" % (mean, white, black), flush=True)
        self.check(0.3 < mean < 0.8 and white < 0.5 and black < 0.5,
                   "the full view is not grey: mean %.3f, white %.3f, black %.3f" % (mean, white, black))
        # The margin lightens the outermost pixels; the first and last rows and columns.
        inside = shares(image, 2, 2, image.width - 2, image.height - 2)[0]
        edges = {"top": shares(image, 0, 0, image.width, 1)[0],
                 "bottom": shares(image, 0, image.height - 1, image.width, image.height)[0],
                 "left": shares(image, 0, 0, 1, image.height)[0],
                 "right": shares(image, image.width - 1, 0, image.width, image.height)[0]}
        # The margin is a cell of the edge pixel's width: the more cells a pixel spans, the
        # less it lightens it (a thirty-second of a pixel at 32768 x 32768).
        cells_per_pixel = max((self.width + 2.0) / image.width, (self.height + 2.0) / image.height)
        lighter = min(0.02, 0.1 / cells_per_pixel)
        for side, brightness in edges.items():
            self.check(brightness > inside + lighter, "the %s edge (%.3f) is no lighter than the inside (%.3f): "
                       "no margin" % (side, brightness, inside))

    def check_solution_line(self, window, first):
        x_display.press_key(window, "space")
        shown = settled(window)
        # The line runs from the goal's centre to the start's: into the exit and the entrance.
        self.check(red_near(shown, 0, 0, 2), "no red line at the entrance, top left")
        self.check(red_near(shown, shown.width - 1, shown.height - 1, 2), "no red line at the exit, bottom right")
        x_display.press_key(window, "space")
        self.check(settled(window).same_bytes(first), "the red line switched off again leaves other bytes")

    def check_notches_and_drags(self, window, size):
        """The wheel one notch at a time, captured several times each: every capture grey
        while the cells are finer than the lines would be, and a drag there too."""
        pointer = (size[0] * 3 // 8, size[1] * 5 // 8)
        view = view_oracle.full_view(self.width, self.height)
        notch = 0
        while self.is_fine(view, size):
            x_display.turn_wheel(window, pointer, 1)
            notch += 1
            for _ in range(CAPTURES_PER_NOTCH):
                self.check_dense(x_display.capture(window), "notch %d in" % notch)
            view = view_oracle.zoomed(self.width, self.height, view, 1, pointer, size)
            if self.is_fine(view, size):
                self.check_dense(settled(window), "notch %d in, complete" % notch)
        print("%d notches to lines" % notch, flush=True)
        x_display.turn_wheel(window, pointer, -2)
        start, end = (size[0] // 2, size[1] // 2), (size[0] // 2 + size[0] // 5, size[1] // 2 - size[1] // 7)
        x_display.drag(window, start, end)
        for _ in range(CAPTURES_PER_NOTCH):
            self.check_dense(x_display.capture(window), "dragged")
        self.check_dense(settled(window), "dragged, complete")


def maze_size(text):
    width, _, height = text.partition("x")
    return int(width), int(height)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True)
    parser.add_argument("--size", required=True, type=maze_size)
    parser.add_argument("--seed", required=True, type=int)
    parser.add_argument("--faketime-library", default=None)
    parser.add_argument("--watch", type=int, default=0, metavar="PACE")
    parser.add_argument("--closes", type=int, default=0)
    parser.add_argument("--close-within", type=float, default=0.5, metavar="SECONDS")
    arguments = parser.parse_args()
    x_display.require_display(1280, 1024, 24)
    return 0 if LargeMazeTest(arguments).run() else 1


if __name__ == "__main__":
    sys.exit(main())
