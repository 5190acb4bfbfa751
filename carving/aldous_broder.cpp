// The Aldous-Broder algorithm: a random walk from a random cell that opens the
// wall it crosses into every cell it enters for the first time; every perfect
// maze is as likely as any other. The walk takes many steps a cell (its cover
// time), so each step is kept to a few instructions: 32 directions from one
// 64-bit draw, and a bit a cell for the cells reached, which keeps them in the
// processor's caches.
#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

void carveByAldousBroder()
{
    const int width = mazeWidth;
    const int height = mazeHeight;
    const long long cells = static_cast<long long>(width) * height;
    CellBits reached(cells);
    const long long offset[4] = {-width, -1, width, 1};

    long long cell = static_cast<long long>(drawBelow(static_cast<std::uint64_t>(cells)));
    int x = static_cast<int>(cell % width);
    int y = static_cast<int>(cell / width);
    reached.set(cell);
    long long unreached = cells - 1;
    while (unreached > 0) {
        std::uint64_t directions = drawWide();
        for (int step = 0; step < 32 && unreached > 0; ++step, directions >>= 2) {
            const int direction = static_cast<int>(directions & 3);
            const int nextX = x + stepX[direction];
            const int nextY = y + stepY[direction];
            if (static_cast<unsigned>(nextX) >= static_cast<unsigned>(width) ||
                static_cast<unsigned>(nextY) >= static_cast<unsigned>(height))
                continue;
            cell += offset[direction];
            if (!reached.test(cell)) {
                reached.set(cell);
                openToward(x, y, direction);
                --unreached;
            }
            x = nextX;
            y = nextY;
        }
    }
}
