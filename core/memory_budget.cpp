#include "memory_budget.h"

#include <unistd.h>

#include "maze.h"

namespace {

// Every phase is counted as if all were alive at once, which keeps the
// estimate on the safe side of the real peak (about 700 MiB at 4000 x 4000).
// Per wall: its record, the carving order and the shuffle's scratch copy of it.
constexpr unsigned long long bytesPerWall = sizeof(Wall) + 2 * sizeof(int);
// Per wall, what the GL driver keeps of the compiled picture: Mesa's software
// renderer was measured keeping about 12 bytes per wall; this allows for more.
constexpr unsigned long long bytesPerPictureSegment = 32;
// Per cell: the partition (link and label), the solver's best move count, its
// search stack (cell and direction) and the solution path.
constexpr unsigned long long bytesPerCell = 2 * sizeof(int) + sizeof(int) + sizeof(int) + 1 + sizeof(int);

}  // namespace

unsigned long long estimatedRunBytes(int width, int height)
{
    const long long columns = width > 0 ? width : 0;
    const long long rows = height > 0 ? height : 0;
    const unsigned long long cells = static_cast<unsigned long long>(columns * rows);
    const long long interiorWalls = columns * (rows - 1) + rows * (columns - 1);
    const unsigned long long wallsInGrid = interiorWalls > 0 ? static_cast<unsigned long long>(interiorWalls) : 0;
    return wallsInGrid * (bytesPerWall + bytesPerPictureSegment) + cells * bytesPerCell;
}

unsigned long long physicalMemoryBytes()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return ~0ull;  // unknown: let the allocations themselves decide
    return static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize);
}

bool runFitsInMemory()
{
    return estimatedRunBytes(mazeWidth, mazeHeight) <= physicalMemoryBytes();
}
