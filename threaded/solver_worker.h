// The solver as a ZThread task.
#ifndef SOLVER_WORKER_H
#define SOLVER_WORKER_H

#include <zthread/Runnable.h>

#include <cstdint>

#include "maze_solver.h"
#include "picture_request.h"

// The same search as the serial program's, runnable on a ZThread::Thread: its
// run overrides both bases' run. Once solved, it saves the picture asked for,
// if any, from a copy of the solution taken before the display could free it.
// Being the last reader of the wall list, it frees it when it is done. In a
// run shown with --watch it carves the maze first.
class SolverWorker : public ZThread::Runnable, public MazeSolver {
public:
    // picture: the picture to save, or nullptr; it must outlive the worker.
    // shown: the run is shown with --watch, and the worker carves the wall
    // list it was handed, closed, before solving it, and ends the show once solved.
    SolverWorker(const PictureRequest* picture, std::uint32_t seed, bool shown = false);
    ~SolverWorker() override;

    void run() override;

protected:
    void solutionComplete() override;

private:
    const PictureRequest* picture;
    std::uint32_t seed;
    bool shown;
    int* solutionCopy = nullptr;
};

#endif
