#include "linear_wall_scan.h"

#include "maze.h"
#include "wall_list.h"

namespace {

// x + y * W with 32-bit wrap-around, so coordinates far outside the grid give
// the same index as the production code rather than undefined behaviour.
int cellIndex(int x, int y)
{
    return static_cast<int>(static_cast<unsigned>(x) + static_cast<unsigned>(y) * static_cast<unsigned>(mazeWidth));
}

}  // namespace

unsigned char scanWallBetween(int x1, int y1, int x2, int y2)
{
    const int p = cellIndex(x1, y1);
    const int q = cellIndex(x2, y2);
    const int count = wallCount();
    if (count <= 0)
        return 1;
    for (int i = 0; i < count; ++i) {
        const Wall wall = wallRecord(i);
        if ((wall.cell1 == p && wall.cell2 == q) || (wall.cell1 == q && wall.cell2 == p))
            return wall.present;
    }
    return 1;
}
