// The lock that hands the solution from the solver thread to the display.
#ifndef SOLVER_LOCK_H
#define SOLVER_LOCK_H

#include <zthread/FastMutex.h>

// Guards solved, and through it solutionMoves and solutionCells: the worker
// writes them before setting solved under the lock; the GLUT thread reads them
// only after seeing solved under the lock. Held only for that one read or write.
extern ZThread::FastMutex& solverLock;

#endif
