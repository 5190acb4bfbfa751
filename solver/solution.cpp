#include "solution.h"

// The solver writes all three; the display reads them on the GLUT thread only
// after isSolved() has returned true, which orders the reads after the writes.
int solutionMoves = -1;
int* solutionCells = nullptr;
unsigned char solved = 0;
