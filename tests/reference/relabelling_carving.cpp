#include "relabelling_carving.h"

#include <cstdlib>

#include "fatal_exit.h"
#include "maze.h"
#include "relabelling_partition.h"
#include "stored_shuffle.h"
#include "wall_list.h"
#include "zeroed_array.h"

void carveMazeByRelabelling()
{
    const int n = wallCount();
    int* order = allocateZeroed<int>(n);
    if (order == nullptr)
        fatalExit(FATAL_ALLOCATION);
    if (storedShuffleIndices(order, n) < 0)
        fatalExit(FATAL_SHUFFLE);

    const int cells = mazeWidth * mazeHeight;
    RelabellingPartition partition(cells);
    for (int i = 0; i < cells; ++i) {
        if (partition.addCell(i) < 0)
            fatalExit(FATAL_ADD_CELL);
    }

    for (int k = 0; k < n; ++k) {
        const Wall wall = wallRecord(order[k]);
        if (!partition.sameSet(wall.cell1, wall.cell2)) {
            removeWall(order[k]);
            partition.merge(wall.cell2, wall.cell1);
        }
    }
    std::free(order);
}
