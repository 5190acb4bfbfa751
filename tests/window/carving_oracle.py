"""The maze a given seed must produce, computed here from the rules of the random
source, the wall shuffle and the carving alone, so the window can be checked against
a maze that the programs had no hand in."""

from maze_layout import Maze, interior_walls


class RandomSource:
    """32-bit linear congruential state; each draw yields bits 16 to 30 of the new state."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def draw(self):
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        return (self.state >> 16) & 0x7FFF


def shuffled_indices(count, random_source):
    """A permutation of 0 .. count-1: each pick is swapped to the end of the unpicked region."""
    scratch = list(range(count))
    order = []
    remaining = count
    for i in range(count):
        k = random_source.draw() % remaining
        order.append(scratch[k])
        last = count - 1 - i
        scratch[k], scratch[last] = scratch[last], scratch[k]
        remaining -= 1
    return order


def carved_maze(width, height, seed):
    """Randomised Kruskal over the shuffled wall list: a wall goes when its two cells
    are not yet connected. Which walls go depends on connection alone, so the sets are
    kept as trees of parents rather than by label, which keeps large mazes quick."""
    walls = interior_walls(width, height)
    order = shuffled_indices(len(walls), RandomSource(seed))
    parents = list(range(width * height))

    def root(cell):
        while parents[cell] != cell:
            parents[cell] = parents[parents[cell]]
            cell = parents[cell]
        return cell

    open_passages = set()
    for index in order:
        cell1, cell2 = walls[index]
        root1, root2 = root(cell1), root(cell2)
        if root1 == root2:
            continue
        open_passages.add((cell1, cell2))
        parents[root2] = root1
    return Maze(width, height, open_passages)


def check_random_source():
    """The oracle is only worth trusting if its random source matches the documented draws."""
    source = RandomSource(1)
    draws = [source.draw() for _ in range(3)]
    if draws != [41, 18467, 6334]:
        raise AssertionError("test oracle broken: seed 1 draws %s, expected [41, 18467, 6334]" % draws)
