#include "solver_worker.h"

#include "wall_list.h"

void SolverWorker::run()
{
    MazeSolver::run();
    freeWallList();
}
