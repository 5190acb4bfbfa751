// The maze itself: its size and the flat list of interior walls.
//
// Cells are numbered row by row: cell (x, y) has index x + y * mazeWidth,
// x the column from the left and y the row from the top. The start is
// cell 0 at the top left, the goal cell mazeWidth * mazeHeight - 1 at the
// bottom right.
#ifndef MAZE_H
#define MAZE_H

#include "wall_planes.h"

// Number of cell columns (W) and rows (H). Written once by
// promptDimensions, read by everything after it, from any thread.
extern int mazeWidth;
extern int mazeHeight;

// One interior wall between two neighbouring cells, as wallRecord describes
// it: the walls themselves are kept as bits (see wall_planes.h).
struct Wall {
    int cell1;              // the lower cell index of the pair
    int cell2;              // cell1 + 1 (side by side) or cell1 + mazeWidth (one above the other)
    unsigned char present;  // 1 while the wall stands, 0 once carving has removed it
};

// Every interior wall of the grid, a bit each, reached in the order
// buildWallList lays records out through the functions of wall_list.h.
// Created by the run sequence, carved by carveMaze, read by the solver and the
// picture; nullptr once freed by whoever reads it last (the display keeps the
// bits it draws beyond that).
extern WallPlanes* walls;

// W * (H - 1) + H * (W - 1), in the same 32-bit arithmetic the walls are laid out with.
int wallCount();

#endif
