#include "wall_planes.h"

#include <algorithm>
#include <cstdlib>

#include "fatal_exit.h"
#include "maze.h"
#include "wall_list.h"
#include "zeroed_array.h"

// Written once by keepWallPlanes on the GLUT thread before any view is drawn;
// only read afterwards, by that thread and the helpers it starts.
WallPlanes wallPlanes = {0, 0, 0, nullptr, nullptr};

namespace {

void setLine(std::uint64_t* row, int x)
{
    row[x >> 6] |= std::uint64_t{1} << (x & 63);
}

// Reads the records of rows [firstRow, endRow) into the planes' rows of
// lines right of and below their cells: each cell's wall to its right, then
// its wall below, as buildWallList lays them out. Bits are gathered a word of
// cells at a time without branching, since whether a wall stands is as good
// as random. The line right of cell x is line x + 1.
void readRows(int firstRow, int endRow)
{
    const int width = wallPlanes.width;
    const int height = wallPlanes.height;
    const int words = wallPlanes.wordsPerRow;
    long long record = static_cast<long long>(firstRow) * (2LL * width - 1);
    for (int y = firstRow; y < endRow; ++y) {
        std::uint64_t* const right = wallPlanes.vertical + static_cast<long long>(y) * words;
        std::uint64_t* const below = wallPlanes.horizontal + (y + 1LL) * words;
        const bool hasBelow = y + 1 != height;
        for (int first = 0; first < width; first += 64) {
            const int end = std::min(width, first + 64);
            std::uint64_t rightOfCells = 0;
            std::uint64_t belowCells = 0;
            for (int x = first; x < end; ++x) {
                const int bit = x & 63;
                if (x + 1 != width)
                    rightOfCells |= static_cast<std::uint64_t>(wallStands(record++)) << bit;
                if (hasBelow)
                    belowCells |= static_cast<std::uint64_t>(wallStands(record++)) << bit;
            }
            const int word = first >> 6;
            right[word] |= rightOfCells << 1;
            if (word + 1 < words)
                right[word + 1] |= rightOfCells >> 63;
            below[word] |= belowCells;
        }
    }
}

}  // namespace

void keepWallPlanes()
{
    std::free(wallPlanes.vertical);
    std::free(wallPlanes.horizontal);
    const int width = mazeWidth > 0 ? mazeWidth : 0;
    const int height = mazeHeight > 0 ? mazeHeight : 0;
    // Room for bit W + 1 too, so that counting up to any line's end never
    // reads past a row.
    const int words = (width + 1) / 64 + 1;
    wallPlanes = WallPlanes{width, height, words, allocateZeroed<std::uint64_t>(static_cast<long long>(height) * words),
                            allocateZeroed<std::uint64_t>((height + 1LL) * words)};
    if (wallPlanes.vertical == nullptr || wallPlanes.horizontal == nullptr)
        fatalExit(FATAL_ALLOCATION);
    if (width == 0 || height == 0)
        return;

    std::uint64_t* const vertical = wallPlanes.vertical;
    std::uint64_t* const horizontal = wallPlanes.horizontal;
    // The border: open above the start cell and beside the goal cell.
    for (int x = 1; x < width; ++x)
        setLine(horizontal, x);
    for (int x = 0; x < width; ++x)
        setLine(horizontal + static_cast<long long>(height) * words, x);
    for (int y = 0; y < height; ++y) {
        setLine(vertical + static_cast<long long>(y) * words, 0);
        if (y != height - 1)
            setLine(vertical + static_cast<long long>(y) * words, width);
    }

    readRows(0, height);
}
