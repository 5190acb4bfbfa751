#include "memory_budget.h"

#include <algorithm>

#include "machine.h"
#include "maze.h"

namespace {

constexpr unsigned long long mebibyte = 1ull << 20;

// The figures below were measured with the window open, on Mesa's llvmpipe
// under Xvfb with two processors: the renderer of every machine without a GPU
// driver, and the hungriest one, since it keeps the picture in main memory.
// Each was fitted so that the estimate stays above every peak measured, from
// 2 x 1 to 8000 x 8000 and oblong sizes, and within 1.3 times the peaks from
// 1000 x 1000 up.

// The program and its libraries before the window exists, and once the GL
// driver and the X connection are there.
constexpr unsigned long long programResident = 6 * mebibyte;
constexpr unsigned long long windowResident = 70 * mebibyte;
// Per line of the picture (two vertices of two floats), as the driver stores it.
constexpr unsigned long long bytesPerPictureLine = 4 * sizeof(float);
// The full view's pixels, kept once drawn on the software renderers: four
// bytes a pixel of a window of 80 % of a screen of up to 1920 x 1200 and more.
constexpr unsigned long long fullViewImage = 8 * mebibyte;
// Drawing the picture the first time: the driver's working memory grows with
// the lines up to a ceiling.
constexpr unsigned long long firstDrawBase = 16 * mebibyte;
constexpr unsigned long long firstDrawBytesPerLine = 200;
constexpr unsigned long long firstDrawCeiling = 90 * mebibyte;
// Address space the program and its libraries map beyond what they fill, the
// GL driver's code and tables above all: 149 MiB in every run measured, and
// for a moment up to 51 MiB more while malloc sets up an arena (it maps twice
// an arena's size to align it); the rest is margin.
constexpr unsigned long long libraryReserved = 228 * mebibyte;
// glibc's malloc gives each thread that allocates an arena of its own: 64 MiB
// of address space, filled as needed, up to eight arenas per processor online,
// the main thread's included.
constexpr unsigned long long arenaReserved = 64 * mebibyte;
constexpr unsigned long long arenasPerProcessor = 8;

// Per wall: its record, and while carving the shuffled order and the shuffle's
// scratch copy of it (or, once that is freed, the order beside the partition).
constexpr unsigned long long bytesPerWall = sizeof(Wall);
constexpr unsigned long long carvingBytesPerWall = 2 * sizeof(int);
constexpr unsigned long long partitionBytesPerCell = 2 * sizeof(int);
// Per cell while solving: best move counts, the search stack (cell and next
// direction); and the solution path, which lives until the first frame.
constexpr unsigned long long solverBytesPerCell = sizeof(int) + sizeof(int) + 1;
constexpr unsigned long long solutionBytesPerCell = sizeof(int);

}  // namespace

RunFootprint estimatedRunFootprint(int width, int height, RunSequence sequence)
{
    const long long columns = width > 0 ? width : 0;
    const long long rows = height > 0 ? height : 0;
    const unsigned long long cells = static_cast<unsigned long long>(columns * rows);
    const long long interiorWalls = columns * (rows - 1) + rows * (columns - 1);
    const unsigned long long wallsInGrid = interiorWalls > 0 ? static_cast<unsigned long long>(interiorWalls) : 0;
    // Carving removes one wall fewer than there are cells; the rest stand, a
    // line each, beside the two border strips (six vertices, three lines' worth).
    const unsigned long long standing = wallsInGrid + 1 > cells ? wallsInGrid + 1 - cells : 0;
    const unsigned long long lines = standing + 3;

    const unsigned long long wallList = wallsInGrid * bytesPerWall;
    const unsigned long long picture = lines * bytesPerPictureLine;
    const unsigned long long firstDraw = std::min(firstDrawBase + lines * firstDrawBytesPerLine, firstDrawCeiling);
    const unsigned long long solver = cells * solverBytesPerCell;
    const unsigned long long solution = cells * solutionBytesPerCell;

    const unsigned long long carving =
        programResident + wallList +
        std::max(wallsInGrid * carvingBytesPerWall, wallsInGrid * sizeof(int) + cells * partitionBytesPerCell);
    unsigned long long window;
    if (sequence == SOLVE_THEN_SHOW) {
        // Solved first; the wall list is freed once the picture is compiled,
        // before the first frame is drawn.
        const unsigned long long solving = programResident + wallList + solver + solution;
        const unsigned long long compiling = windowResident + wallList + picture + solution;
        const unsigned long long drawing = windowResident + picture + firstDraw + fullViewImage + solution;
        window = std::max({solving, compiling, drawing});
    } else {
        // The solver starts once the picture is compiled and works, on the
        // wall list, while the first frame is drawn.
        window = windowResident + wallList + picture + firstDraw + fullViewImage + solver + solution;
    }

    // llvmpipe starts its rasterizer threads and as many again for its
    // compute-shader pool, and Mesa one for its shader cache; maze_threaded
    // adds the solver. Each thread maps a stack, which the kernel counts as
    // data too, and may get an arena.
    const unsigned long long threads =
        2ull * static_cast<unsigned long long>(llvmpipeRasterizerThreads()) + 1 + (sequence == SHOW_WHILE_SOLVING);
    const unsigned long long arenas =
        std::min(threads, arenasPerProcessor * static_cast<unsigned long long>(onlineProcessors()) - 1);
    const unsigned long long stacks = threads * threadStackBytes();

    RunFootprint footprint;
    footprint.resident = std::max(carving, window);
    footprint.mapped = footprint.resident + libraryReserved + stacks + arenas * arenaReserved;
    footprint.data = footprint.resident + stacks;
    footprint.threads = threads;
    return footprint;
}

bool runFitsInMemory(RunSequence sequence)
{
    const RunFootprint needed = estimatedRunFootprint(mazeWidth, mazeHeight, sequence);
    const MemoryRoom room = memoryRoom();
    return needed.resident <= room.resident && needed.mapped <= room.mapped && needed.data <= room.data;
}

bool runThreadsCanStart(RunSequence sequence)
{
    return estimatedRunFootprint(mazeWidth, mazeHeight, sequence).threads <= threadRoom();
}
