#include "memory_budget.h"

#include <algorithm>
#include <cstdio>

#include "carving_algorithms.h"
#include "fatal_exit.h"
#include "machine.h"
#include "carving.h"
#include "maze.h"
#include "maze_solver.h"
#include "solution.h"
#include "picture_footprint.h"
#include "show_state.h"
#include "wall_lines.h"
#include "window_room.h"

namespace {

constexpr unsigned long long mebibyte = 1ull << 20;

// The figures below were measured with the window open, on Mesa's llvmpipe
// under Xvfb with two processors: the renderer of every machine without a GPU
// driver, and the hungriest one, since it keeps the picture in main memory.
// They cover Debian 12 (Mesa 22.3, LLVM 15) and Debian 13 (Mesa 25.0, LLVM
// 19), whose peaks are 10 to 22 MiB higher: the estimate stays above the worst
// of three runs of either, zoomed in and out, from 2 x 1 to 4000 x 4000 on
// screens from 1280 x 1024 to 7680 x 4320, and within 1.3 times Debian 12's on
// screens up to 1920 x 1080.

// The program and its libraries before the window exists, libpng and cairo
// with theirs (fontconfig, freetype, pixman) included: 8.2 to 8.7 MiB at
// 2 x 1 without a window, the writer's own memory included. A run without a
// window holds no more than this beside the maze's own arrays, which the
// estimate counts to the byte; a run that will open one has the connection
// to the X server open already while it carves (the screen is read ahead).
constexpr unsigned long long programResident = 17 * mebibyte / 2;
constexpr unsigned long long screenConnectionResident = 3 * mebibyte;
// Once the window is open, before anything is drawn: the GL driver's libraries
// (the pages of LLVM's read by then are 50 MiB alone), its context and the X
// connection; about 57 MiB on Debian 12, 68 on Debian 13 (more library pages
// and driver heap), and up to 72 while maze_serial hands a large maze's lines
// to the display.
constexpr unsigned long long windowResident = 72 * mebibyte;
// Drawing the first frame, at any size: LLVM compiling the driver's shaders
// (more of its code read, and its heap; a shader cache left by an earlier run
// saves 3 to 5 MiB, so this is the first run's).
constexpr unsigned long long firstDrawBase = 29 * mebibyte;
// The buffers that grow with the window (see window_room.h) are counted for
// the window the run opens, resized once to a size as large; a window made
// larger later takes only the room found beyond the whole estimate.
// When the screen cannot be read ahead the run ends once GLUT finds no
// display; until then, a screen as large as most desks have.
constexpr ScreenSize assumedScreen = {1920, 1200};
// Per line the driver has been handed and not drawn yet: its edges and shading
// inputs (about 210 bytes) and its place in the bins of the window's tiles.
// Handed over in pieces, the picture never has more than
// piecesHeldByDriver * linesPerPiece lines there; handed over whole, llvmpipe
// queued as many as its drawing threads fell behind by, 36 MiB a scene, and
// that varied from run to run.
constexpr unsigned long long heldBytesPerLine = 256;
constexpr unsigned long long mostLinesHeld = static_cast<unsigned long long>(piecesHeldByDriver) * linesPerPiece;
// What llvmpipe's threads add beyond those of the two measured processors:
// what each touches of its stack and of a malloc arena of its own, about 25
// KiB (a thread that does not allocate touches no arena).
constexpr unsigned long long residentPerDriverThread = 256 * 1024;
constexpr unsigned long long measuredProcessors = 2;
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

// Per cell while solving a perfect maze: two bits a step of the path being
// walked (see MazeSolver::workingBytes); the solution path lives until the
// first frame, counted at the most a carved maze's path is counted with.
// In a braided maze the breadth-first search instead: the way back a cell and
// the queue of cells reached.
constexpr unsigned long long breadthFirstBytesPerCell = 1 + sizeof(int);
// The solver's table, every word written, stays resident after maze_serial
// frees it when it is smaller than 32 MiB: malloc raises the size from which
// it maps blocks of their own (up to 32 MiB) as such blocks are freed, so the
// table comes from its heap, which keeps it for later allocations, the
// driver's drawing among them.
constexpr unsigned long long largestBlockKept = 32 * mebibyte;
// Each array the size of the maze is a separate mapping whose pages the
// kernel fills as they are touched; what a mapping rounds up to, and the
// allocator's headers, are in the margin below.

// The screen the window is counted for: the one read ahead, or the one assumed.
ScreenSize screenCounted(const RunOutputs& outputs)
{
    return outputs.screen.width > 0 && outputs.screen.height > 0 ? outputs.screen : assumedScreen;
}

// What the buffers that grow with the window are counted for, none without one.
unsigned long long windowBytesCounted(int width, int height, const RunOutputs& outputs)
{
    return outputs.window ? openingWindowBytes(width, height, screenCounted(outputs), outputs.shown) : 0;
}

// What is left of a room once something has taken its share; ~0ull stays
// unlimited.
unsigned long long roomLeft(unsigned long long room, unsigned long long taken)
{
    if (room == ~0ull)
        return room;
    return room > taken ? room - taken : 0;
}

}  // namespace

RunFootprint estimatedRunFootprint(int width, int height, RunSequence sequence, const RunOutputs& outputs)
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

    // The walls, a bit each in the planes the display draws from; the display
    // keeps them, so they stay until the run ends.
    const unsigned long long wallList = wallPlaneBytes(width, height) + 64;
    const unsigned long long held = std::min(lines, mostLinesHeld) * heldBytesPerLine;
    const unsigned long long windowBuffers = windowBytesCounted(width, height, outputs);
    // A maze whose full view is computed as grey opens without handing the
    // driver a line: it holds lines only once zoomed in.
    const ScreenSize screen = screenCounted(outputs);
    const bool opensAsLines = !picturesKeptFor(width, height, screen);
    const unsigned long long heldOpening = opensAsLines ? held : 0;
    // The driver makes the window's colour buffer when the window is first
    // made current, before the display takes the lines from the wall list.
    const unsigned long long openColourBuffer = outputs.window ? openingColourBufferBytes(width, height, screen) : 0;
    const unsigned long long solver =
        outputs.braided ? cells * breadthFirstBytesPerCell : MazeSolver::workingBytes(width, height, true);
    // A carved maze's path stays within the bound the solver counts it with,
    // but for the carvings whose paths wind through the maze; those and a
    // braided maze's are counted through every cell.
    const bool defaultCarving = outputs.carving == nullptr || outputs.carving->carve == carveMaze;
    const bool longSolution = outputs.braided || (outputs.carving != nullptr && outputs.carving->longSolutions);
    const unsigned long long solutionMoves =
        longSolution ? cells : static_cast<unsigned long long>(solutionMovesBound(width, height));
    const unsigned long long solution = solutionMoves * sizeof(int);
    const unsigned long long keptSolver = solver < largestBlockKept ? solver : 0;

    // The large arrays' rounding and the allocator's headers: a 128th of them.
    // Kruskal's carving by what carveMaze holds; another by the figures its table gives.
    const unsigned long long carvingOwn =
        defaultCarving ? carvingWorkingBytes(width, height)
                       : carvingWorkingBytes(*outputs.carving, static_cast<unsigned long long>(columns),
                                             static_cast<unsigned long long>(rows));
    const unsigned long long carvingArrays = wallList + carvingOwn;
    // The show (--watch) holds its copy of the walls and a byte a cell from
    // the window's opening, before carving, until the maze is solved; its copy
    // then stays as the display's walls, beside the wall list until that is
    // freed. So it is counted in every phase, and carving is counted with the
    // window open and drawing.
    const unsigned long long show = outputs.shown ? showHeldBytes(width, height) : 0;
    const unsigned long long shownWindow =
        outputs.shown ? windowResident + firstDrawBase + windowBuffers + held + show : 0;
    const unsigned long long carving = programResident + (outputs.window ? screenConnectionResident : 0) +
                                       carvingArrays + carvingArrays / 128 + shownWindow;
    // Saving: the writer's own memory, beside the maze and the solution. In
    // maze_threaded the worker saves a copy of the solution, taken before the
    // display may free the original, while the window is shown. Afterwards
    // malloc may keep what the writer freed, so the window's phases count it
    // as still held.
    const unsigned long long saving = outputs.picture != nullptr ? pictureSavingBytes(width, height, *outputs.picture) : 0;
    const unsigned long long solutionCopy =
        outputs.picture != nullptr && outputs.picture->withSolution && sequence == SHOW_WHILE_SOLVING ? solution : 0;

    unsigned long long afterCarving = 0;
    if (!outputs.window) {
        // Solved, then saved; in maze_threaded on the worker, from the copy.
        const unsigned long long solving = programResident + wallList + solver + solution;
        const unsigned long long savingPhase =
            programResident + wallList + solution + solutionCopy + std::max(saving, keptSolver);
        afterCarving = std::max(solving, savingPhase);
    } else if (sequence == SOLVE_THEN_SHOW) {
        // Solved and saved first; the display then keeps the walls' bits.
        const unsigned long long solving = programResident + wallList + solver + solution;
        const unsigned long long savingPhase = programResident + wallList + solution + saving + keptSolver;
        const unsigned long long compiling =
            windowResident + openColourBuffer + wallList + solution + keptSolver + saving;
        const unsigned long long drawing =
            windowResident + wallList + firstDrawBase + windowBuffers + held + keptSolver + solution + saving;
        afterCarving = std::max({solving, savingPhase, compiling, drawing}) + show;
    } else {
        // The solver starts once the display holds the walls' bits and
        // works, on the same bits, while the first frame is drawn, and then
        // saves; views zoomed into, drawn as lines, come after the solver's
        // tables are freed, or so early on a small maze that they are small.
        const unsigned long long solving = windowResident + wallList + firstDrawBase + windowBuffers + heldOpening +
                                           solver + solution + solutionCopy + saving;
        const unsigned long long zooming =
            windowResident + wallList + firstDrawBase + windowBuffers + held + solution + solutionCopy + saving;
        afterCarving = std::max(solving, zooming) + show;
    }

    // llvmpipe starts its rasterizer threads and as many again for its
    // compute-shader pool, and Mesa one for its shader cache; the display one
    // to help compute views finer than the window; maze_threaded adds the
    // solver. Each thread maps a stack, which the kernel counts as data too,
    // and may get an arena.
    // Without a window there is no driver, and only maze_threaded's solver.
    const unsigned long long driverThreads =
        outputs.window ? 2ull * static_cast<unsigned long long>(llvmpipeRasterizerThreads()) + 2 : 0;
    // Shown, Kruskal's carving makes its order on a thread of its own beside the driver's.
    const unsigned long long threads = driverThreads + (sequence == SHOW_WHILE_SOLVING) + (outputs.shown ? 1 : 0);
    const unsigned long long arenas =
        std::min(threads, arenasPerProcessor * static_cast<unsigned long long>(onlineProcessors()) - 1);
    const unsigned long long stacks = threads * threadStackBytes();

    // Resident memory was measured with two processors' threads; each more
    // touches a little of its stack and arena.
    const unsigned long long measuredThreads =
        (outputs.window ? 2 * measuredProcessors + 2 : 0) + (sequence == SHOW_WHILE_SOLVING);
    const unsigned long long unmeasuredThreads = threads > measuredThreads ? threads - measuredThreads : 0;

    RunFootprint footprint;
    footprint.resident = std::max(carving, afterCarving) + unmeasuredThreads * residentPerDriverThread;
    // Without the window's margin, the arrays' page tables (a five-hundredth of
    // them) and the allocator's rounding: 16000 x 16000 saved as a PNG peaked
    // at 1290 MiB, 32768 x 32768 at 5384 MiB.
    if (!outputs.window)
        footprint.resident += footprint.resident / 64;
    footprint.mapped = footprint.resident + libraryReserved + stacks + arenas * arenaReserved;
    footprint.data = footprint.resident + stacks;
    footprint.threads = threads;
    return footprint;
}

bool runFitsInMemory(RunSequence sequence, const RunOutputs& outputs)
{
    const RunFootprint needed = estimatedRunFootprint(mazeWidth, mazeHeight, sequence, outputs);
    const MemoryRoom room = memoryRoom();
    return needed.resident <= room.resident && needed.mapped <= room.mapped && needed.data <= room.data;
}

unsigned long long windowRoom(RunSequence sequence, const RunOutputs& outputs)
{
    const RunFootprint needed = estimatedRunFootprint(mazeWidth, mazeHeight, sequence, outputs);
    const MemoryRoom room = memoryRoom();
    const unsigned long long spare = std::min(
        {roomLeft(room.resident, needed.resident), roomLeft(room.mapped, needed.mapped), roomLeft(room.data, needed.data)});
    const unsigned long long counted = windowBytesCounted(mazeWidth, mazeHeight, outputs);
    return spare > ~0ull - counted ? ~0ull : counted + spare;
}

bool runThreadsCanStart(RunSequence sequence, const RunOutputs& outputs)
{
    return estimatedRunFootprint(mazeWidth, mazeHeight, sequence, outputs).threads <= threadRoom();
}

void checkRunFits(RunSequence sequence, const RunOutputs& outputs)
{
    std::string problem;
    if (outputs.picture != nullptr && !pictureFitsFormat(mazeWidth, mazeHeight, *outputs.picture, problem)) {
        std::fprintf(stderr, "%s: cannot save the maze as '%s': %s\n", outputs.picture->programName.c_str(),
                     outputs.picture->path.c_str(), problem.c_str());
        endProcess(SAVE_FAILURE);
    }
    if (!runFitsInMemory(sequence, outputs))
        fatalExit(FATAL_ALLOCATION);
    if (outputs.window)
        allowWindowBytes(windowRoom(sequence, outputs));
    if (!runThreadsCanStart(sequence, outputs))
        fatalExit(FATAL_THREAD_START);
}
