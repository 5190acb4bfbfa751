#include "solution.h"

// What the solver hands the display. The solver writes solutionMoves and
// solutionCells, and then solved through markSolved; displayMaze reads the
// first two, and frees solutionCells, only once isSolved has returned true on
// the GLUT thread, which in the threaded program orders those reads after the
// worker's writes.
int solutionMoves = -1;
int* solutionCells = nullptr;
unsigned char solved = 0;
