// The carved maze as the picture files read it: the lines its bits draw, and
// the solution.
#ifndef MAZE_ROWS_H
#define MAZE_ROWS_H

#include "maze.h"

// Which grid lines stand, in the window's coordinates: a cell is one unit, row
// 0 at the top, the start cell's top side (the entrance) and the goal cell's
// right side (the exit) open, the rest of the border standing. Read from the
// wall list's bits, which hold the border too.
class StandingLines {
public:
    StandingLines() : planes(*walls) {}

    // Whether the line from (x, k) to (x + 1, k) stands, for k = 0 .. H.
    bool horizontal(int k, int x) const { return lineDrawn(horizontalRow(planes, k), x); }

    // Whether the line from (k, y) to (k, y + 1) stands, for k = 0 .. W.
    bool vertical(int y, int k) const { return lineDrawn(verticalRow(planes, y), k); }

private:
    const WallPlanes& planes;
};

// The solution as the window draws it: the centre of the goal cell, then those
// of solutionCells, back to the start.
struct SolutionPath {
    const int* cells = nullptr;  // solutionCells
    int moves = 0;               // solutionMoves
};

#endif
