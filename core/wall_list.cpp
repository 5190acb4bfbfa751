#include "wall_list.h"

#include <cstdlib>

#include "fatal_exit.h"
#include "maze.h"
#include "zeroed_array.h"

void createWallList()
{
    const int count = wallCount();
    walls = allocateZeroed<Wall>(count);
    if (walls == nullptr)
        fatalExit(FATAL_ALLOCATION);
    // On a grid of at least one row and column buildWallList fills every
    // record and finds each standing: the records are written once, not twice
    // (hundreds of megabytes for a large maze).
    if (mazeWidth < 1 || mazeHeight < 1) {
        for (int i = 0; i < count; ++i)
            walls[i] = Wall{-1, -1, 1};
    }
    buildWallList();
}

void buildWallList()
{
    if (mazeHeight <= 0)
        return;
    int next = 0;
    for (int y = 0; y < mazeHeight; ++y) {
        for (int x = 0; x < mazeWidth; ++x) {
            const int cell = x + y * mazeWidth;
            if (x + 1 != mazeWidth)
                walls[next++] = Wall{cell, cell + 1, 1};
            if (y + 1 != mazeHeight)
                walls[next++] = Wall{cell, cell + mazeWidth, 1};
        }
    }
}

// Every row but the last holds 2W - 1 records, a right wall and a wall below
// per cell (the last cell has no right wall); the last row holds only its
// W - 1 right walls.
long long rightWallRecord(long long x, long long y)
{
    const long long rowStart = y * (2LL * mazeWidth - 1);
    return y < mazeHeight - 1 ? rowStart + 2 * x : rowStart + x;
}

long long lowerWallRecord(long long x, long long y)
{
    return y * (2LL * mazeWidth - 1) + 2 * x + (x < mazeWidth - 1 ? 1 : 0);
}

Wall wallRecord(long long index)
{
    const long long width = mazeWidth;
    const long long recordsPerRow = 2 * width - 1;
    const long long y = index / recordsPerRow;
    const long long place = index % recordsPerRow;
    const bool lastRow = y == mazeHeight - 1;
    const long long x = lastRow ? place : place / 2;
    const bool sideBySide = lastRow || (place % 2 == 0 && place != recordsPerRow - 1);
    const int cell = static_cast<int>(x + y * width);
    return Wall{cell, sideBySide ? cell + 1 : cell + mazeWidth, walls[index].present};
}

bool wallStands(long long index)
{
    return walls[index].present != 0;
}

void removeWall(long long index)
{
    walls[index].present = 0;
}

void restoreWall(long long index)
{
    walls[index].present = 1;
}

namespace {

// Cell index of (x, y) in the 32-bit wrap-around arithmetic callers outside
// the grid may push it into.
int cellIndex(int x, int y)
{
    return static_cast<int>(static_cast<unsigned>(x) + static_cast<unsigned>(y) * static_cast<unsigned>(mazeWidth));
}

// Position in walls of the record joining cells p and q, or -1 when no record does.
long long recordIndex(int p, int q)
{
    const long long width = mazeWidth;
    const long long lower = p < q ? p : q;
    const long long higher = p < q ? q : p;
    if (lower < 0 || lower >= width * mazeHeight)
        return -1;
    const long long x = lower % width;
    const long long y = lower / width;
    // Checked first: in a single column the cell below is also the next index.
    if (higher - lower == width && y < mazeHeight - 1)
        return lowerWallRecord(x, y);
    if (higher - lower == 1 && x < width - 1)
        return rightWallRecord(x, y);
    return -1;
}

// The same for two cells given by coordinates, without dividing; -1 when the
// cells are not both inside the grid and next to each other.
long long neighbourRecordIndex(int x1, int y1, int x2, int y2)
{
    const bool inside = x1 >= 0 && x1 < mazeWidth && y1 >= 0 && y1 < mazeHeight && x2 >= 0 && x2 < mazeWidth &&
                        y2 >= 0 && y2 < mazeHeight;
    if (!inside)
        return -1;
    if (y1 == y2 && (x2 - x1 == 1 || x1 - x2 == 1))
        return rightWallRecord(x1 < x2 ? x1 : x2, y1);
    if (x1 == x2 && (y2 - y1 == 1 || y1 - y2 == 1))
        return lowerWallRecord(x1, y1 < y2 ? y1 : y2);
    return -1;
}

}  // namespace

unsigned char wallBetween(int x1, int y1, int x2, int y2)
{
    if (wallCount() <= 0 || mazeWidth < 1 || mazeHeight < 1)
        return 1;
    // The solver asks only about neighbours inside the grid: answer those
    // without dividing. Anything else goes through the cell indices, where
    // coordinates outside the grid alias other cells just as they always have.
    long long index = neighbourRecordIndex(x1, y1, x2, y2);
    if (index < 0)
        index = recordIndex(cellIndex(x1, y1), cellIndex(x2, y2));
    return index < 0 ? 1 : walls[index].present;
}

void freeWallList()
{
    std::free(walls);
    walls = nullptr;
}
