// Prim's algorithm, randomised: from a random cell, a random cell of the
// frontier (cells beside the maze, not in it) is joined to a random neighbour
// already in the maze, and its own neighbours join the frontier.
#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

namespace {

enum CellState : unsigned char { OUTSIDE, FRONTIER, IN_MAZE };

}  // namespace

void carveByPrim()
{
    const int width = mazeWidth;
    const long long cells = static_cast<long long>(width) * mazeHeight;
    CarvingArray<unsigned char> state(cells);
    // Never more cells than the maze has; pages beyond those used are never touched.
    CarvingArray<int> frontier(cells);
    long long frontierSize = 0;
    const long long offset[4] = {-width, -1, width, 1};

    auto takeIn = [&](long long cell) {
        state[cell] = IN_MAZE;
        // In 32 bits, which divide several times faster: no maze has 2^31 cells.
        const int x = static_cast<int>(static_cast<unsigned>(cell) % static_cast<unsigned>(width));
        const int y = static_cast<int>(static_cast<unsigned>(cell) / static_cast<unsigned>(width));
        for (int direction = UP; direction <= RIGHT; ++direction) {
            const long long neighbour = cell + offset[direction];
            if (insideMaze(x + stepX[direction], y + stepY[direction]) && state[neighbour] == OUTSIDE) {
                state[neighbour] = FRONTIER;
                frontier[frontierSize++] = static_cast<int>(neighbour);
            }
        }
    };

    takeIn(static_cast<long long>(drawBelow(static_cast<std::uint64_t>(cells))));
    while (frontierSize > 0) {
        const long long picked = static_cast<long long>(drawBelow(static_cast<std::uint64_t>(frontierSize)));
        const long long cell = frontier[picked];
        frontier[picked] = frontier[--frontierSize];
        // In 32 bits, which divide several times faster: no maze has 2^31 cells.
        const int x = static_cast<int>(static_cast<unsigned>(cell) % static_cast<unsigned>(width));
        const int y = static_cast<int>(static_cast<unsigned>(cell) / static_cast<unsigned>(width));
        int choices[4];
        const int count = neighboursWhere(x, y, cell, [&](long long next) { return state[next] == IN_MAZE; }, choices);
        openToward(x, y, choices[drawNeighbourChoice(count)]);
        takeIn(cell);
    }
}
