// Hunt-and-kill: a random walk into cells not yet reached; when it is stuck,
// the hunt scans the rows from the top for the first cell not reached beside
// one that is, joins it to a random reached neighbour and walks on from it.
//
// The walk starts at the top-left cell, where the scan starts. Then the first
// cell not reached, in the order of the scan, always lies beside a reached
// one: every cell before it is reached, its left neighbour among them, or, at
// the start of a row, the one above it. So the hunt resumes where the last
// one stopped instead of rescanning from the top, and the whole carving is
// linear; a bit a cell.
#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

void carveByHuntAndKill()
{
    const int width = mazeWidth;
    const long long cells = static_cast<long long>(width) * mazeHeight;
    CellBits reached(cells);
    const long long offset[4] = {-width, -1, width, 1};

    long long cell = 0;
    int x = 0;
    int y = 0;
    reached.set(0);
    long long unreached = cells - 1;
    long long hunted = 0;  // every cell before it is reached
    while (unreached > 0) {
        int choices[4];
        const int count = neighboursWhere(x, y, cell, [&](long long next) { return !reached.test(next); }, choices);
        if (count > 0) {
            const int direction = choices[drawNeighbourChoice(count)];
            openToward(x, y, direction);
            x += stepX[direction];
            y += stepY[direction];
            cell += offset[direction];
        } else {
            while (reached.test(hunted))
                ++hunted;
            cell = hunted;
            x = static_cast<int>(cell % width);
            y = static_cast<int>(cell / width);
            const int joined = neighboursWhere(x, y, cell, [&](long long next) { return reached.test(next); }, choices);
            openToward(x, y, choices[drawNeighbourChoice(joined)]);
        }
        reached.set(cell);
        --unreached;
    }
}
