"""What the depth-first solver must report and draw for a given maze, worked out by
walking the maze the way the solver is described to: neighbours tried up, left, down,
right; a cell re-entered only with strictly fewer moves; the goal checked before that."""

import sys

from maze_layout import interior_walls

_DIRECTIONS = ((0, -1), (-1, 0), (0, 1), (1, 0))  # up, left, down, right


class SolverRun:
    def __init__(self, maze):
        self.maze = maze
        width = maze.width
        # Records are found by cell index arithmetic, so a neighbour outside the grid
        # blocks exactly when no record names its (possibly wrapped) index.
        self.present = {wall: 0 if maze.is_open(*wall) else 1 for wall in interior_walls(width, maze.height)}
        self.best_moves = {}
        self.path = []
        self.messages = []  # the solver's lines during the search, in order
        self.solution_moves = -1
        self.solution_cells = []  # from the goal's predecessor back to the start

    def wall_between(self, x1, y1, x2, y2):
        p = x1 + y1 * self.maze.width
        q = x2 + y2 * self.maze.width
        if (p, q) in self.present:
            return self.present[(p, q)]
        return self.present.get((q, p), 1)

    def explore(self, x, y, moves):
        width, height = self.maze.width, self.maze.height
        if x == width - 1 and y == height - 1:
            if self.solution_moves == -1 or moves < self.solution_moves:
                self.solution_moves = moves
                self.messages.append("I solved the maze in %d moves...perhaps there is a faster way\n" % moves)
                self.solution_cells = list(reversed(self.path))
            else:
                self.messages.append("Maze solved again, but this time it was longer\n")
        best = self.best_moves.get((x, y), -1)
        if not (best == -1 or moves < best):
            return
        here = x + y * width
        for step_x, step_y in _DIRECTIONS:
            next_x, next_y = x + step_x, y + step_y
            if self.wall_between(x, y, next_x, next_y) == 0:
                self.best_moves[(x, y)] = moves
                self.path.append(here)
                self.explore(next_x, next_y, moves + 1)
                self.path.pop()


def solve(maze):
    """Returns the finished SolverRun: messages, solution_moves and solution_cells."""
    run = SolverRun(maze)
    sys.setrecursionlimit(max(sys.getrecursionlimit(), 4 * maze.width * maze.height + 1000))
    run.explore(0, 0, 0)
    return run


def unique_path(maze):
    """The cells of the one path from the goal back to the start of a perfect maze, which
    is the line the solver draws."""
    return shortest_path(maze)


def shortest_path(maze):
    """The cells of a shortest path from the goal back to the start, found breadth-first with the
    neighbours of each cell tried up, left, down, right, so that among equally short paths it is
    the one the programs draw."""
    width, height = maze.width, maze.height
    cells = width * height
    came_from = [-1] * cells
    came_from[0] = 0
    frontier = [0]
    for cell in frontier:
        y, x = divmod(cell, width)
        for step_x, step_y in _DIRECTIONS:
            next_x, next_y = x + step_x, y + step_y
            if not (0 <= next_x < width and 0 <= next_y < height):
                continue
            next_cell = next_x + next_y * width
            if came_from[next_cell] < 0 and maze.is_open(cell, next_cell):
                came_from[next_cell] = cell
                frontier.append(next_cell)
    path = [cells - 1]
    while path[-1] != 0:
        path.append(came_from[path[-1]])
    return path
