// The threaded program's side of the solved flag: every access under solverLock.
#include "solver_lock.h"

#include "solution.h"

ZThread::FastMutex solverLock;

void markSolved()
{
    solverLock.acquire();
    solved = 1;
    solverLock.release();
}

bool isSolved()
{
    solverLock.acquire();
    const bool finished = solved == 1;
    solverLock.release();
    return finished;
}
