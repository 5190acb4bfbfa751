"""A maze as the tests compare it: its size and the set of open passages between cells.

Cell (x, y) has index x + y * width; a passage is the pair (lower index, higher index)
of two neighbouring cells whose wall has been removed."""


def interior_walls(width, height):
    """Every interior wall as (cell1, cell2), in the order the programs lay them out:
    row by row, and within a row cell by cell, the wall to the right before the wall below."""
    walls = []
    for y in range(height):
        for x in range(width):
            cell = x + y * width
            if x + 1 != width:
                walls.append((cell, cell + 1))
            if y + 1 != height:
                walls.append((cell, cell + width))
    return walls


class Maze:
    def __init__(self, width, height, open_passages):
        self.width = width
        self.height = height
        self.open_passages = frozenset(open_passages)

    def __eq__(self, other):
        return (self.width, self.height, self.open_passages) == (other.width, other.height, other.open_passages)

    def is_open(self, cell1, cell2):
        return (min(cell1, cell2), max(cell1, cell2)) in self.open_passages

    def wall_name(self, passage):
        (x1, y1), (x2, y2) = (divmod(cell, self.width)[::-1] for cell in passage)
        return "wall between cells (%d, %d) and (%d, %d)" % (x1, y1, x2, y2)

    def perfection_problems(self):
        """Why this maze is not perfect (every cell reachable by exactly one path); empty if it is."""
        problems = []
        cells = self.width * self.height
        if len(self.open_passages) != cells - 1:
            problems.append("%d open walls, a perfect %dx%d maze has %d"
                            % (len(self.open_passages), self.width, self.height, cells - 1))
        neighbours = {cell: [] for cell in range(cells)}
        for a, b in self.open_passages:
            neighbours[a].append(b)
            neighbours[b].append(a)
        reached = {0}
        frontier = [0]
        while frontier:
            for next_cell in neighbours[frontier.pop()]:
                if next_cell not in reached:
                    reached.add(next_cell)
                    frontier.append(next_cell)
        if len(reached) != cells:
            problems.append("%d of %d cells unreachable from the start" % (cells - len(reached), cells))
        return problems

    def differences(self, expected):
        """Walls that differ from expected, as readable text."""
        lines = []
        for passage in sorted(expected.open_passages - self.open_passages):
            lines.append("%s: expected removed, found standing" % self.wall_name(passage))
        for passage in sorted(self.open_passages - expected.open_passages):
            lines.append("%s: expected standing, found removed" % self.wall_name(passage))
        return lines
