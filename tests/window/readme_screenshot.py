#!/usr/bin/env python3
"""Writes a README screenshot: a maze with its solution shown, taken from the real
program under X and saved as PNG only after the picture has been checked against the maze
the seed must give, so the README never shows a wrong picture. With --zoom-notches the
wheel first zooms in about a cell halfway along the solution.

    xvfb-run -s '-screen 0 1280x1024x24' tests/window/readme_screenshot.py \\
        --program build/maze_serial --output docs/maze-solution.png
"""

import argparse
import sys

from carving_oracle import carved_maze
from maze_run import MazeRun, find_faketime_library
from picture_reader import picture_problems
from png_writer import write_png
from solver_oracle import unique_path
from transcript import PRESS_SPACE
import view_oracle
import x_display

TIMEOUT = 60.0  # seconds; a 2000 x 2000 maze takes a while to carve and draw


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, help="path of maze_serial or maze_threaded")
    parser.add_argument("--output", required=True, help="PNG file to write")
    parser.add_argument("--width", type=int, default=30)
    parser.add_argument("--height", type=int, default=20)
    parser.add_argument("--seed", type=int, default=1000000000)
    parser.add_argument("--zoom-notches", type=int, default=0, help="wheel notches to zoom in by")
    parser.add_argument("--faketime-library", help="path of libfaketimeMT.so.1 (found with dpkg if not given)")
    arguments = parser.parse_args()

    try:
        x_display.require_display(1280, 1024, 24)
        maze = carved_maze(arguments.width, arguments.height, arguments.seed)
        red_path = unique_path(maze)
        windows_before = x_display.settled_windows("Maze", 2.0)
        with MazeRun(arguments.program, arguments.width, arguments.height, arguments.seed,
                     find_faketime_library(arguments.faketime_library)) as run:
            window = x_display.wait_for_new_window("Maze", windows_before, run.process, TIMEOUT)
            if not run.wait_for_output(PRESS_SPACE.encode(), TIMEOUT):
                print("the program never offered its solution", file=sys.stderr)
                return 1
            x_display.press_key(window, "space")
            view = view_oracle.full_view(arguments.width, arguments.height)
            if arguments.zoom_notches:
                info = x_display.window_info(window)
                size = (info["width"], info["height"])
                middle = min(red_path, key=lambda cell: abs(cell % arguments.width - arguments.width / 2)
                             + abs(cell // arguments.width - arguments.height / 2))
                pointer = (int((middle % arguments.width + 1.5) / (arguments.width + 2) * size[0]),
                           int((middle // arguments.width + 1.5) / (arguments.height + 2) * size[1]))
                x_display.turn_wheel(window, pointer, arguments.zoom_notches)
                for _ in range(arguments.zoom_notches):
                    view = view_oracle.zoomed(arguments.width, arguments.height, view, 1, pointer, size)
            rectangle = view_oracle.rectangle(arguments.width, arguments.height, view)
            image, problems = x_display.wait_for_picture(
                window, lambda image: picture_problems(image, maze, red_path, rectangle), TIMEOUT)
    except x_display.DisplayError as error:
        print(error, file=sys.stderr)
        return 1
    if problems:
        print("not writing a wrong picture:\n    " + "\n    ".join(problems), file=sys.stderr)
        return 1
    write_png(arguments.output, image)
    print("wrote %s (%dx%d)" % (arguments.output, image.width, image.height))
    return 0


if __name__ == "__main__":
    sys.exit(main())
