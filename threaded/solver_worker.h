// The solver as a ZThread task.
#ifndef SOLVER_WORKER_H
#define SOLVER_WORKER_H

#include <zthread/Runnable.h>

#include "maze_solver.h"

// The same search as the serial program's, runnable on a ZThread::Thread: its
// run overrides both bases' run. Being the last reader of the wall list, it
// frees it when it is done.
class SolverWorker : public ZThread::Runnable, public MazeSolver {
public:
    void run() override;
};

#endif
