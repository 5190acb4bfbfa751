// The maze itself: its size and the flat list of interior walls.
//
// Cells are numbered row by row: cell (x, y) has index x + y * mazeWidth,
// x the column from the left and y the row from the top. The start is
// cell 0 at the top left, the goal cell mazeWidth * mazeHeight - 1 at the
// bottom right.
#ifndef MAZE_H
#define MAZE_H

// Number of cell columns (W) and rows (H). Written once by
// promptDimensions, read by everything after it, from any thread.
extern int mazeWidth;
extern int mazeHeight;

// One interior wall between two neighbouring cells.
struct Wall {
    int cell1;              // the lower cell index of the pair
    int cell2;              // cell1 + 1 (side by side) or cell1 + mazeWidth (one above the other)
    unsigned char present;  // 1 while the wall stands, 0 once carving has removed it
};

// Every interior wall of the grid, in the order buildWallList lays them out.
// Created by the run sequence, carved by carveMaze, read by the solver and the
// picture, freed once by whoever reads it last.
extern Wall* walls;

// W * (H - 1) + H * (W - 1), in the same 32-bit arithmetic the walls are laid out with.
int wallCount();

#endif
