// Wilson's algorithm: loop-erased random walks into the growing tree, which
// starts as one random cell; every perfect maze is as likely as any other.
// A walk from each cell not yet in the tree notes at every cell the direction
// it last left it by, which erases the loops; the walk is then retraced along
// those directions into the tree. A byte a cell holds both.
#include "algorithms.h"
#include "carving_grid.h"
#include "wide_random_source.h"

namespace {

constexpr unsigned char inTree = 4;  // below it, the direction last left by

}  // namespace

void carveByWilson()
{
    const int width = mazeWidth;
    const long long cells = static_cast<long long>(width) * mazeHeight;
    CarvingArray<unsigned char> state(cells);
    const long long offset[4] = {-width, -1, width, 1};
    state[static_cast<long long>(drawBelow(static_cast<std::uint64_t>(cells)))] = inTree;

    // Directions two bits at a time, 32 a draw: the walks take many steps a cell.
    std::uint64_t directions = 0;
    int directionsLeft = 0;
    long long outside = cells - 1;
    long long start = 0;
    while (outside > 0) {
        while (state[start] & inTree)
            ++start;
        long long cell = start;
        int x = static_cast<int>(start % width);
        int y = static_cast<int>(start / width);
        while (!(state[cell] & inTree)) {
            if (directionsLeft == 0) {
                directions = drawWide();
                directionsLeft = 32;
            }
            const int direction = static_cast<int>(directions & 3);
            directions >>= 2;
            --directionsLeft;
            const int nextX = x + stepX[direction];
            const int nextY = y + stepY[direction];
            if (!insideMaze(nextX, nextY))
                continue;
            state[cell] = static_cast<unsigned char>(direction);
            x = nextX;
            y = nextY;
            cell += offset[direction];
        }
        cell = start;
        x = static_cast<int>(start % width);
        y = static_cast<int>(start / width);
        while (!(state[cell] & inTree)) {
            const int direction = state[cell];
            openToward(x, y, direction);
            state[cell] = inTree;
            --outside;
            x += stepX[direction];
            y += stepY[direction];
            cell += offset[direction];
        }
    }
}
