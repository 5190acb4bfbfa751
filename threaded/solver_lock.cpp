// The threaded program's side of the solved flag: every access under solverLock.
#include "solver_lock.h"

#include "solution.h"

// Created during static initialisation and never destroyed. Closing the window
// ends the process through exit, which runs the static destructors and then
// waits for the worker; a worker still solving takes this lock when it is done.
ZThread::FastMutex& solverLock = *new ZThread::FastMutex;

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
