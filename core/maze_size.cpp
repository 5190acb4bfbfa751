#include "maze_size.h"

#include <climits>

namespace {

bool fitsInInt(__int128 value)
{
    return value >= INT_MIN && value <= INT_MAX;
}

}  // namespace

bool isRefusedSize(int width, int height)
{
    // Wide enough that no typed pair overflows: two sizes near INT_MIN give a
    // wall count beyond 64 bits.
    const __int128 columns = width;
    const __int128 rows = height;
    const __int128 cells = columns * rows;
    const __int128 wallsInGrid = columns * (rows - 1) + rows * (columns - 1);
    if (!fitsInInt(cells) || !fitsInInt(wallsInGrid))
        return true;
    if (wallsInGrid < 0)
        return false;
    const bool grid = width >= 2 && height >= 1;
    const bool singleCell = width == 1 && height == 1;
    return !grid && !singleCell;
}
