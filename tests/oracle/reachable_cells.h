// Which cells the removed walls connect to the start, worked out from the wall
// records alone so that it depends on neither wall test under comparison.
#ifndef REACHABLE_CELLS_H
#define REACHABLE_CELLS_H

// The number of cells reachable from cell 0 through walls whose present flag is 0.
int cellsReachableFromStart();

// Whether the goal cell is among them.
bool goalReachable();

#endif
