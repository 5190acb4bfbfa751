#include "show_state.h"

#include <cstdlib>
#include <cstring>

#include "fatal_exit.h"
#include "maze.h"
#include "show_pace.h"
#include "step_watch.h"
#include "wall_list.h"
#include "zeroed_array.h"

// See show_state.h: showState is written under showLock by the thread that
// carves and solves (handOverSteps, endShowSteps) and by the GLUT thread
// (changed, once drawn; releaseShowState), and read under it by both.
std::mutex& showLock = *new std::mutex;
ShowState showState = {false, {0, 0, 0, nullptr, nullptr}, nullptr, -1, false, false};

namespace {

// A step as it waits in the batch: its kind in the top two bits, then a wall
// word's place in the planes, or a cell and (entering it) its way back.
enum StepKind : std::uint64_t { WALL_WORD = 0, CELL_ENTERED_STEP = 1, CELL_LEFT_STEP = 2, CELL_EXPANDED_STEP = 3 };
constexpr int kindShift = 62;
constexpr int wayBackBits = 3;  // a direction and whether there is one

// Steps waiting for a hand-over: at two million steps a second, a tenth of a
// second's worth, longer than the GLUT thread takes to draw a frame, so that
// the thread that carves goes on while a frame is drawn rather than wait.
constexpr int batchCapacity = 1 << 18;

// The batch, on the thread that carves and solves alone: written by the step
// callbacks below, emptied by handOverSteps.
struct StepBatch {
    std::uint64_t* steps;  // batchCapacity of them
    int count;
    bool wholePlanes;      // the field opened: the whole planes are copied
    long long taken;       // steps taken since the show started
};
StepBatch batch = {nullptr, 0, false, 0};

void add(std::uint64_t step)
{
    if (batch.count == batchCapacity)
        handOverSteps();
    batch.steps[batch.count++] = step;
}

void onWallChanged(const std::uint64_t* word)
{
    add(static_cast<std::uint64_t>(word - walls->vertical));
    ++batch.taken;
    paceStep();
}

void onFieldOpened()
{
    batch.wholePlanes = true;
    batch.count = 0;  // every word is copied anyway
    ++batch.taken;
    paceStep();
}

// The direction from cell to its neighbour from, as the cells keep it.
std::uint64_t wayBack(long long cell, long long from)
{
    if (from < 0)
        return 0;
    const long long width = mazeWidth;
    const long long difference = from - cell;
    // Checked first: in a single column the cell below is also the next index.
    const std::uint64_t direction = difference == -width ? 0 : difference == width ? 2 : difference == -1 ? 1 : 3;
    return direction << 1 | 1;
}

void onCellEntered(long long cell, long long from)
{
    add(CELL_ENTERED_STEP << kindShift | static_cast<std::uint64_t>(cell) << wayBackBits | wayBack(cell, from));
    ++batch.taken;
    paceStep();
}

void onCellLeft(long long cell)
{
    add(CELL_LEFT_STEP << kindShift | static_cast<std::uint64_t>(cell) << wayBackBits);
}

void onCellExpanded(long long cell)
{
    add(CELL_EXPANDED_STEP << kindShift | static_cast<std::uint64_t>(cell) << wayBackBits);
}

const StepWatch showSteps = {onWallChanged, onFieldOpened, onCellEntered, onCellLeft, onCellExpanded};

// Applies a step to showState, under showLock.
void apply(std::uint64_t step)
{
    const std::uint64_t kind = step >> kindShift;
    if (kind == WALL_WORD) {
        showState.planes.vertical[step] = walls->vertical[step];
        return;
    }
    const long long cell = static_cast<long long>((step & ~(std::uint64_t{3} << kindShift)) >> wayBackBits);
    unsigned char& shown = showState.cells[cell];
    if (kind == CELL_ENTERED_STEP) {
        const unsigned way = static_cast<unsigned>(step & 7);
        const unsigned back = (way & 1) != 0 ? hasWayBack | (way >> 1) << wayBackShift : 0;
        shown = static_cast<unsigned char>(CELL_ENTERED | back);
        showState.current = cell;
    } else if (kind == CELL_LEFT_STEP) {
        shown = static_cast<unsigned char>((shown & ~cellStateMask) | CELL_LEFT);
        showState.current = cellBefore(cell);
    } else {
        showState.current = cell;
    }
}

}  // namespace

void startShowState()
{
    const long long cells = static_cast<long long>(mazeWidth) * mazeHeight;
    WallPlanes planes = copyWallPlanes();
    unsigned char* shownCells = allocateZeroed<unsigned char>(cells);
    batch = StepBatch{allocateZeroed<std::uint64_t>(batchCapacity), 0, false, 0};
    if (shownCells == nullptr || batch.steps == nullptr)
        fatalExit(FATAL_ALLOCATION);
    const std::lock_guard<std::mutex> lock(showLock);
    showState = ShowState{true, planes, shownCells, -1, true, false};
    stepWatch = &showSteps;
}

namespace {

// Applies the batch to showState and empties it; showLock held.
void applyBatch()
{
    if (batch.wholePlanes)
        std::memcpy(showState.planes.vertical, walls->vertical, wallPlaneBytes(walls->width, walls->height));
    for (int i = 0; i < batch.count; ++i)
        apply(batch.steps[i]);
    showState.changed = showState.changed || batch.count > 0 || batch.wholePlanes;
    batch.count = 0;
    batch.wholePlanes = false;
}

}  // namespace

void handOverSteps()
{
    const std::lock_guard<std::mutex> lock(showLock);
    applyBatch();
}

bool offerSteps()
{
    std::unique_lock<std::mutex> lock(showLock, std::try_to_lock);
    if (lock.owns_lock())
        applyBatch();
    return lock.owns_lock();
}

void endShowSteps()
{
    stepWatch = nullptr;
    handOverSteps();
    std::free(batch.steps);
    batch.steps = nullptr;
    const std::lock_guard<std::mutex> lock(showLock);
    showState.ended = true;
}

void releaseShowState()
{
    const std::lock_guard<std::mutex> lock(showLock);
    std::free(showState.cells);
    showState.cells = nullptr;
    releaseWallPlanes(showState.planes);
    showState.planes = WallPlanes{0, 0, 0, nullptr, nullptr};
    showState.active = false;
}

long long showStepsTaken()
{
    return batch.taken;
}

long long cellBefore(long long cell)
{
    if (cell < 0)
        return -1;
    const unsigned char shown = showState.cells[cell];
    if ((shown & hasWayBack) == 0)
        return -1;
    const long long width = mazeWidth;
    const long long step[4] = {-width, -1, width, 1};
    return cell + step[(shown >> wayBackShift) & 3];
}

unsigned long long showHeldBytes(int width, int height)
{
    const unsigned long long cells =
        width > 0 && height > 0 ? static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) : 0;
    return wallPlaneBytes(width, height) + 64 + cells + batchCapacity * sizeof(std::uint64_t);
}
