#include "maze_size.h"

#include <climits>

namespace {

bool fitsInInt(long long value)
{
    return value >= INT_MIN && value <= INT_MAX;
}

}  // namespace

bool isRefusedSize(int width, int height)
{
    const long long columns = width;
    const long long rows = height;
    const long long cells = columns * rows;
    const long long wallsInGrid = columns * (rows - 1) + rows * (columns - 1);
    if (!fitsInInt(cells) || !fitsInInt(wallsInGrid))
        return true;
    if (wallsInGrid < 0)
        return false;
    const bool grid = width >= 2 && height >= 1;
    const bool singleCell = width == 1 && height == 1;
    return !grid && !singleCell;
}
