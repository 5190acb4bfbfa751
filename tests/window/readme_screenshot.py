#!/usr/bin/env python3
"""Writes a README screenshot: a maze with its solution shown, taken from the real
program under X and saved as PNG only after the picture has been checked against the maze
the seed must give, so the README never shows a wrong picture. With --zoom-notches the
wheel first zooms in about a cell halfway along the solution. With --strip the program
runs with --watch, and six frames of its show (the grid before carving, a third and two
thirds carved, carved, the solver midway, and the solution) go side by side, three to a
row at a third of their size; the carving's frames are checked to show ever fewer walls,
and the last the maze and its solution.

    xvfb-run -s '-screen 0 1280x1024x24' tests/window/readme_screenshot.py \\
        --program build/maze_serial --output docs/maze-solution.png
"""

import argparse
import sys
import time
from types import SimpleNamespace

from carving_oracle import carved_maze
from maze_run import MazeRun, find_faketime_library
from maze_layout import interior_walls
from picture_reader import picture_problems, rebuild_maze
from png_writer import write_png
from solver_oracle import unique_path
from transcript import PRESS_SPACE
from xwd_image import RED, WHITE
import view_oracle
import x_display

TIMEOUT = 60.0  # seconds; a 2000 x 2000 maze takes a while to carve and draw
STRIP_SHRINK = 3  # each frame of the strip a third of the window's size
STRIP_COLUMNS = 3
STRIP_GAP = 6  # white pixels between frames


def shrunk(image, factor):
    """The image a factor smaller each way, each channel of a pixel the darkest of the pixels
    it stands for: lines a pixel wide stay as dark, and red stays red."""
    width, height = image.width // factor, image.height // factor
    channels = []
    for channel in (image.red, image.green, image.blue):
        out = bytearray(width * height)
        for y in range(height):
            darkest = [255] * width
            for row in range(y * factor, (y + 1) * factor):
                line = channel[row * image.width:row * image.width + width * factor]
                for offset in range(factor):
                    darkest = list(map(min, darkest, line[offset::factor]))
            out[y * width:(y + 1) * width] = bytes(darkest)
        channels.append(bytes(out))
    return SimpleNamespace(width=width, height=height, red=channels[0], green=channels[1], blue=channels[2])


def strip_of(frames):
    """The frames side by side, STRIP_COLUMNS to a row, on white."""
    width, height = frames[0].width, frames[0].height
    rows = (len(frames) + STRIP_COLUMNS - 1) // STRIP_COLUMNS
    total_width = STRIP_COLUMNS * width + (STRIP_COLUMNS - 1) * STRIP_GAP
    total_height = rows * height + (rows - 1) * STRIP_GAP
    channels = [bytearray([WHITE[0]]) * (total_width * total_height) for _ in range(3)]
    for index, frame in enumerate(frames):
        left = (index % STRIP_COLUMNS) * (width + STRIP_GAP)
        top = (index // STRIP_COLUMNS) * (height + STRIP_GAP)
        for channel, source in zip(channels, (frame.red, frame.green, frame.blue)):
            for y in range(height):
                start = (top + y) * total_width + left
                channel[start:start + width] = source[y * width:(y + 1) * width]
    return SimpleNamespace(width=total_width, height=total_height, red=bytes(channels[0]),
                           green=bytes(channels[1]), blue=bytes(channels[2]))


def show_frames(run, window, maze):
    """Captures the show until the solver's last line: (standing walls, image) of each
    capture of the carving, and the images of the solving (shaded or with a red path)."""
    carving, solving = [], []
    deadline = time.monotonic() + TIMEOUT
    while not run.output().endswith(PRESS_SPACE.encode()) and time.monotonic() < deadline:
        image = x_display.capture(window)
        if max(image.green, default=0) > 0:
            if image.colour_marks(RED).count(1) or image.non_white_count() > 3 * image.width * image.height // 10:
                solving.append(image)
            elif not solving:
                carving.append((len(interior_walls(maze.width, maze.height))
                                - len(rebuild_maze(image, maze.width, maze.height).open_passages), image))
        time.sleep(0.02)
    return carving, solving


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, help="path of maze_serial or maze_threaded")
    parser.add_argument("--output", required=True, help="PNG file to write")
    parser.add_argument("--width", type=int, default=30)
    parser.add_argument("--height", type=int, default=20)
    parser.add_argument("--seed", type=int, default=1000000000)
    parser.add_argument("--zoom-notches", type=int, default=0, help="wheel notches to zoom in by")
    parser.add_argument("--strip", action="store_true", help="six frames of the show of --watch, as one picture")
    parser.add_argument("--pace", type=int, default=200, help="steps a second of the show")
    parser.add_argument("--faketime-library", help="path of libfaketimeMT.so.1 (found with dpkg if not given)")
    arguments = parser.parse_args()
    if arguments.strip:
        return write_strip(arguments)

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


def write_strip(arguments):
    try:
        x_display.require_display(1280, 1024, 24)
        maze = carved_maze(arguments.width, arguments.height, arguments.seed)
        red_path = unique_path(maze)
        windows_before = x_display.settled_windows("Maze", 2.0)
        with MazeRun(arguments.program, arguments.width, arguments.height, None, None,
                     arguments=["--watch", "--pace", str(arguments.pace), "--seed", str(arguments.seed)]) as run:
            window = x_display.wait_for_new_window("Maze", windows_before, run.process, TIMEOUT)
            carving, solving = show_frames(run, window, maze)
            x_display.press_key(window, "space")
            solved, problems = x_display.wait_for_picture(
                window, lambda image: picture_problems(image, maze, red_path), TIMEOUT)
    except x_display.DisplayError as error:
        print(error, file=sys.stderr)
        return 1
    all_walls = len(interior_walls(maze.width, maze.height))
    carved = all_walls - (maze.width * maze.height - 1)
    if problems or len(carving) < 10 or not solving:
        print("not writing a wrong strip: %d captures of the carving, %d of the solving; %s"
              % (len(carving), len(solving), "; ".join(problems[:5])), file=sys.stderr)
        return 1

    chosen = [carving[0]] + [min(carving, key=lambda capture: abs(capture[0] - all_walls + share * (all_walls - carved)))
                             for share in (1 / 3, 2 / 3)] + [carving[-1]]
    counts = [walls for walls, _ in chosen]
    if counts != sorted(counts, reverse=True) or len(set(counts)) != 4 or counts[0] < all_walls * 0.95:
        print("not writing a wrong strip: the carving's frames show %s walls of %d" % (counts, all_walls),
              file=sys.stderr)
        return 1
    frames = [image for _, image in chosen] + [solving[len(solving) // 2], solved]
    write_png(arguments.output, strip_of([shrunk(frame, STRIP_SHRINK) for frame in frames]))
    print("wrote %s: walls standing %s, then the solving" % (arguments.output, counts))
    return 0


if __name__ == "__main__":
    sys.exit(main())
