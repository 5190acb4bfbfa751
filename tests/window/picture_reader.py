"""Reading a maze window's pixels the way a person reads the picture.

The picture maps a world rectangle, the view, onto the whole window, one unit per cell and
row 0 at the top: at the full view (-1, -1) .. (W + 1, H + 1), so world (wx, wy) lands on
pixel ((wx + 1) / (W + 2) * width, (wy + 1) / (H + 2) * height). Zoomed, only what lies in
the view is checked. A one-pixel line may land one
pixel either side of that point, so every sample looks at three pixels across the line,
and every drawn pixel is accepted within 1.5 pixels of the line it belongs to."""

import math

from maze_layout import Maze, interior_walls
from xwd_image import BLACK, RED, WHITE

_TOLERANCE = 1.5  # pixels between a drawn pixel's centre and its line
_REPORTED_PER_KIND = 8  # enough to see the pattern of a fault without drowning in it
# Past this many wrong pixels the picture is plainly wrong; looking at each of the rest in
# Python would only keep the caller from taking the next capture.
_MOST_PIXEL_PROBLEMS = 1000


class Projection:
    def __init__(self, maze_width, maze_height, image, view=None):
        """view: the world rectangle (left, top, right, bottom) shown; the full view if None."""
        self.maze_width = maze_width
        self.maze_height = maze_height
        self.image = image
        self.left, self.top, self.right, self.bottom = view or (-1, -1, maze_width + 1, maze_height + 1)

    def to_pixel(self, world_x, world_y):
        return ((world_x - self.left) / (self.right - self.left) * self.image.width,
                (world_y - self.top) / (self.bottom - self.top) * self.image.height)

    def to_world(self, pixel_x, pixel_y):
        """World coordinates of a pixel's centre."""
        return (self.left + (pixel_x + 0.5) / self.image.width * (self.right - self.left),
                self.top + (pixel_y + 0.5) / self.image.height * (self.bottom - self.top))

    def shows(self, world_x, world_y):
        """Whether a world point lands on the window with a pixel to spare on every side."""
        pixel_x, pixel_y = self.to_pixel(world_x, world_y)
        return 1 <= pixel_x < self.image.width - 1 and 1 <= pixel_y < self.image.height - 1

    def shows_across(self, start, end, fraction):
        return self.shows(start[0] + (end[0] - start[0]) * fraction, start[1] + (end[1] - start[1]) * fraction)

    def colours_across(self, start, end, fraction):
        """Colours of the pixels across the segment start-end at the given fraction of its length."""
        world_x = start[0] + (end[0] - start[0]) * fraction
        world_y = start[1] + (end[1] - start[1]) * fraction
        pixel_x, pixel_y = self.to_pixel(world_x, world_y)
        column, row = math.floor(pixel_x), math.floor(pixel_y)
        if start[0] == end[0]:
            spots = [(column + offset, row) for offset in (-1, 0, 1)]
        else:
            spots = [(column, row + offset) for offset in (-1, 0, 1)]
        return [self.image.colour(x, y) for x, y in spots if self.image.contains(x, y)]

    def colours_around(self, world_x, world_y):
        """Colours of the 3 x 3 pixels around a world point."""
        pixel_x, pixel_y = self.to_pixel(world_x, world_y)
        column, row = math.floor(pixel_x), math.floor(pixel_y)
        return [self.image.colour(column + dx, row + dy) for dy in (-1, 0, 1) for dx in (-1, 0, 1)
                if self.image.contains(column + dx, row + dy)]

    def near(self, pixel_x, pixel_y, start, end):
        """Whether a pixel's centre lies within the tolerance of the segment start-end."""
        x1, y1 = self.to_pixel(*start)
        x2, y2 = self.to_pixel(*end)
        u, v = pixel_x + 0.5, pixel_y + 0.5
        dx = max(min(x1, x2) - u, 0, u - max(x1, x2))
        dy = max(min(y1, y2) - v, 0, v - max(y1, y2))
        return dx <= _TOLERANCE and dy <= _TOLERANCE


def wall_segment(width, wall):
    """World end points of the line between the two cells of an interior wall."""
    cell1, cell2 = wall
    y, x = divmod(cell1, width)
    if cell2 == cell1 + 1:
        return (x + 1, y), (x + 1, y + 1)  # between two cells side by side
    return (x, y + 1), (x + 1, y + 1)  # between two cells one above the other


def border_segments(width, height, columns=None, rows=None):
    """Each cell side on the border as (name, start, end, standing): all stand except the
    entrance above the start cell and the exit beside the goal cell. Only those of the given
    ranges of columns and rows, when given."""
    columns = columns if columns is not None else range(width)
    rows = rows if rows is not None else range(height)
    sides = []
    for x in columns:
        sides.append(("top side of cell (%d, 0)" % x, (x, 0), (x + 1, 0), x != 0))
        sides.append(("bottom side of cell (%d, %d)" % (x, height - 1), (x, height), (x + 1, height), True))
    for y in rows:
        sides.append(("left side of cell (0, %d)" % y, (0, y), (0, y + 1), True))
        sides.append(("right side of cell (%d, %d)" % (width - 1, y), (width, y), (width, y + 1), y != height - 1))
    return sides


def rebuild_maze(image, width, height):
    """The maze as the picture shows it: a wall is removed where the middle of its line is not black."""
    projection = Projection(width, height, image)
    open_passages = set()
    for wall in interior_walls(width, height):
        if BLACK not in projection.colours_across(*wall_segment(width, wall), 0.5):
            open_passages.add(wall)
    return Maze(width, height, open_passages)


def _walls_of(width, height, columns, rows):
    """The interior walls to the right of and below the cells of the given ranges."""
    for y in rows:
        for x in columns:
            cell = x + y * width
            if x + 1 != width:
                yield (cell, cell + 1)
            if y + 1 != height:
                yield (cell, cell + width)


def _cell_centre(width, cell):
    y, x = divmod(cell, width)
    return (x + 0.5, y + 0.5)


def _most_pixels_near(projection, segments):
    """How many pixel centres can lie within the tolerance of the given segments: each accepts
    a box reaching the tolerance beyond its ends and to either side of it."""
    reach = 2 * math.ceil(_TOLERANCE) + 1
    most = 0
    for start, end in segments:
        x1, y1 = projection.to_pixel(*start)
        x2, y2 = projection.to_pixel(*end)
        most += (math.ceil(abs(x2 - x1)) + reach) * (math.ceil(abs(y2 - y1)) + reach)
    return most


class _Report:
    def __init__(self):
        self.problems = []
        self.counts = {}

    def add(self, kind, text):
        self.counts[kind] = self.counts.get(kind, 0) + 1
        if self.counts[kind] <= _REPORTED_PER_KIND:
            self.problems.append(text)

    def total(self):
        return sum(self.counts.values())

    def lines(self):
        summary = ["%d x %s" % (count, kind) for kind, count in self.counts.items() if count > _REPORTED_PER_KIND]
        return self.problems + (["(totals: %s)" % ", ".join(summary)] if summary else [])


def picture_problems(image, maze, solution_path=None, view=None):
    """Everything in the picture that differs from the maze drawn in black on white, with
    the red solution line through the centres of solution_path (goal first) when given and
    no red at all otherwise, as the view (a world rectangle; the full view if None) shows
    it. Returns a list of readable problems; empty when all is right."""
    width, height = maze.width, maze.height
    projection = Projection(width, height, image, view)
    report = _Report()
    # The cells in view and one more on each side; at the full view, all of them.
    columns = range(max(0, math.floor(projection.left) - 1), min(width, math.ceil(projection.right) + 1))
    rows = range(max(0, math.floor(projection.top) - 1), min(height, math.ceil(projection.bottom) + 1))

    standing = []  # (name, start, end) of every line that must be drawn
    for name, start, end, is_standing in border_segments(width, height, columns, rows):
        if is_standing:
            standing.append((name, start, end))
        elif projection.shows_across(start, end, 0.5) and BLACK in projection.colours_across(start, end, 0.5):
            report.add("closed gap", "%s should be open (entrance or exit) but is black" % name)
    for wall in _walls_of(width, height, columns, rows):
        start, end = wall_segment(width, wall)
        if maze.is_open(*wall):
            if not projection.shows_across(start, end, 0.5):
                continue
            colours = projection.colours_across(start, end, 0.5)
            if BLACK in colours:
                report.add("removed wall drawn", "%s is removed but drawn black" % maze.wall_name(wall))
            elif solution_path is None and set(colours) != {WHITE}:
                report.add("removed wall not white", "%s is removed but shows %s" % (maze.wall_name(wall), colours))
        else:
            standing.append((maze.wall_name(wall), start, end))

    for name, start, end in standing:
        for fraction in (0.25, 0.5, 0.75):
            if projection.shows_across(start, end, fraction) and BLACK not in projection.colours_across(
                    start, end, fraction):
                report.add("missing line", "%s should be black at %d%% of its length, shows %s"
                           % (name, fraction * 100, projection.colours_across(start, end, fraction)))
                break

    # Lines indexed by the grid line they lie on, so each drawn pixel is matched against a few.
    lines_by_place = {}
    for _, start, end in standing:
        if start[0] == end[0]:
            key = ("vertical", start[0], min(start[1], end[1]))
        else:
            key = ("horizontal", min(start[0], end[0]), start[1])
        lines_by_place[key] = (start, end)

    red_steps_by_cell = {}
    red_steps = []
    if solution_path is not None:
        for cell_from, cell_to in zip(solution_path, solution_path[1:]):
            step = (_cell_centre(width, cell_from), _cell_centre(width, cell_to))
            red_steps.append(step)
            red_steps_by_cell.setdefault(cell_from, []).append(step)
            red_steps_by_cell.setdefault(cell_to, []).append(step)

    # A capture taken before the window was drawn (all black under Xvfb) is recognised at
    # once by counting, not by looking at each of its pixels.
    non_white = image.non_white_count()
    most = _most_pixels_near(projection, [(start, end) for _, start, end in standing] + red_steps)
    if non_white > most:
        return ["not a finished picture: %d of its %d pixels are not white, its lines can cover at most %d"
                % (non_white, image.width * image.height, most)]

    for pixel_x, pixel_y, colour in image.non_white_pixels():
        if report.total() >= _MOST_PIXEL_PROBLEMS:
            report.add("pixels not looked at", "stopped looking after %d problems" % _MOST_PIXEL_PROBLEMS)
            break
        world_x, world_y = projection.to_world(pixel_x, pixel_y)
        if colour == BLACK:
            grid_x, grid_y = round(world_x), round(world_y)
            column, row = math.floor(world_x), math.floor(world_y)
            candidates = [lines_by_place.get(("vertical", grid_x, row + offset)) for offset in (-1, 0, 1)]
            candidates += [lines_by_place.get(("horizontal", column + offset, grid_y)) for offset in (-1, 0, 1)]
            if not any(line and projection.near(pixel_x, pixel_y, *line) for line in candidates):
                report.add("stray black", "black pixel at (%d, %d), world (%.2f, %.2f), on no standing wall"
                           % (pixel_x, pixel_y, world_x, world_y))
        elif colour == RED:
            if solution_path is None:
                report.add("red while hidden", "red pixel at (%d, %d) while the solution is hidden"
                           % (pixel_x, pixel_y))
                continue
            column, row = math.floor(world_x), math.floor(world_y)
            candidates = []
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    if 0 <= column + dx < width and 0 <= row + dy < height:
                        candidates += red_steps_by_cell.get(column + dx + (row + dy) * width, [])
            if not any(projection.near(pixel_x, pixel_y, *step) for step in candidates):
                report.add("stray red", "red pixel at (%d, %d), world (%.2f, %.2f), off the solution line"
                           % (pixel_x, pixel_y, world_x, world_y))
        else:
            report.add("foreign colour", "pixel (%d, %d) has colour %s, neither black, white nor red"
                       % (pixel_x, pixel_y, colour))

    if solution_path is not None:
        for cell in solution_path:
            if projection.shows(*_cell_centre(width, cell)) and RED not in projection.colours_around(
                    *_cell_centre(width, cell)):
                report.add("gap in red line", "no red at the centre of solution cell (%d, %d)"
                           % (cell % width, cell // width))
        for cell_from, cell_to in zip(solution_path, solution_path[1:]):
            start, end = _cell_centre(width, cell_from), _cell_centre(width, cell_to)
            for fraction in (0.25, 0.5, 0.75):
                if projection.shows_across(start, end, fraction) and RED not in projection.colours_across(
                        start, end, fraction):
                    report.add("gap in red line", "no red between the centres of cells %d and %d at %d%%"
                               % (cell_from, cell_to, fraction * 100))
                    break
    return report.lines()
