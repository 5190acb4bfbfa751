// The solver and the display run on one thread: the flag needs no guard.
#include "solution.h"

void markSolved()
{
    solved = 1;
}

bool isSolved()
{
    return solved == 1;
}
