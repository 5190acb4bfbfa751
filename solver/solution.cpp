#include "solution.h"

// What the solver hands the display. The solver writes solutionMoves and
// solutionCells, and then solved through markSolved; displayMaze reads the
// first two, and frees solutionCells, only once isSolved has returned true on
// the GLUT thread, which in the threaded program orders those reads after the
// worker's writes.
int solutionMoves = -1;
int* solutionCells = nullptr;
unsigned char solved = 0;

long long solutionMovesBound(int width, int height)
{
    const long long columns = width > 0 ? width : 0;
    const long long rows = height > 0 ? height : 0;
    const long long cells = columns * rows;
    const long long sides = 64 * (columns + rows);
    return cells < sides ? cells : sides;
}
