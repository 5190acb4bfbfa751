#include "carving.h"

#include <cstdlib>

#include "cell_partition.h"
#include "fatal_exit.h"
#include "maze.h"
#include "random_source.h"
#include "zeroed_array.h"

int shuffleIndices(int* out, int n)
{
    int* scratch = allocateZeroed<int>(n);
    if (scratch == nullptr)
        return -1;
    // Each pick is swapped to the end of the unpicked region, so the next draw
    // chooses among the elements not yet taken. A draw never exceeds 32767, so
    // in long lists the early picks come from the first 32768 positions; the
    // mazes of a given seed depend on exactly this.
    // Positions beyond those a draw can reach are read only once, when the
    // unpicked region's end reaches them, and never written before: they hold
    // their own index then. Only the reachable ones are filled and swapped,
    // which spares a large list's scratch copy being written at all.
    const int reachable = n < largestDraw + 1 ? n : largestDraw + 1;
    for (int i = 0; i < reachable; ++i)
        scratch[i] = i;
    // While more than a draw's range remain, the draw is its own remainder:
    // the division is left for the last 32768 picks.
    int remaining = n;
    for (int i = 0; i < n; ++i) {
        const int draw = drawRandom();
        const int k = remaining > largestDraw ? draw : draw % remaining;
        const int last = n - 1 - i;
        const int picked = scratch[k];
        out[i] = picked;
        scratch[k] = last < reachable ? scratch[last] : last;
        if (last < reachable)
            scratch[last] = picked;
        --remaining;
    }
    std::free(scratch);
    return 0;
}

void carveMaze()
{
    const int n = wallCount();
    int* order = allocateZeroed<int>(n);
    if (order == nullptr)
        fatalExit(FATAL_ALLOCATION);
    if (shuffleIndices(order, n) < 0)
        fatalExit(FATAL_SHUFFLE);

    const int cells = mazeWidth * mazeHeight;
    CellPartition partition(cells);
    for (int i = 0; i < cells; ++i) {
        if (partition.addCell(i) < 0)
            fatalExit(FATAL_ADD_CELL);
    }

    // Every wall is visited, even after the last cell has been connected.
    // The order visits walls out of sequence, and their cells' sets out of
    // sequence too, so the walls and cells a few steps ahead are fetched early
    // to overlap their cache misses.
    constexpr int wallLookahead = 16;
    constexpr int cellLookahead = 8;
    for (int k = 0; k < n; ++k) {
        if (k + wallLookahead < n)
            __builtin_prefetch(&walls[order[k + wallLookahead]]);
        if (k + cellLookahead < n) {
            const Wall& upcoming = walls[order[k + cellLookahead]];
            partition.prefetch(upcoming.cell1);
            partition.prefetch(upcoming.cell2);
        }
        Wall& wall = walls[order[k]];
        if (!partition.sameSet(wall.cell1, wall.cell2)) {
            wall.present = 0;
            partition.merge(wall.cell2, wall.cell1);
        }
    }
    std::free(order);
}
